#pragma once

#include <QString>
#include <QStringList>

// Sample videos that Debian packages ship: each package is fetched with "apt-get download" and unpacked
// with "dpkg-deb -x" into a cache folder, never installed, and kept there for the next run.
namespace SamplePackages {

// Unpacks the packages into cache + "/root" (those unpacked before are not fetched again). Returns an
// empty text on success, else one line that says which package could not be had and why.
QString Fetch(const QString& cache, const QStringList& packages);

} // namespace SamplePackages
