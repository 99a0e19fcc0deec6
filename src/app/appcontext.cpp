#include "app/appcontext.h"

#include "app/filehelpers.h"

#include <QUrl>

AppContext& App() {
    static AppContext context;
    return context;
}

QString NativeSeparator() {
#ifdef Q_OS_WIN
    return QStringLiteral("\\");
#else
    return QStringLiteral("/");
#endif
}

void AppContext::SetAppDir(const QString& folder) {
    AppDir = EnsureTrailingBackslash(folder);
    UserDir = AppDir;
    DefaultOutputDir = AppDir;
    EncoderPath = AppDir + QStringLiteral("wmaspi.dll");
#ifdef Q_OS_WIN
    HelpFilePath = AppDir + QStringLiteral("Corvexa.chm");
#else
    HelpFilePath = AppDir + QStringLiteral("Corvexa.html");
#endif
    // Until the program has a public home page, its web page is the help page that ships with it.
    WebPageAddress = QUrl::fromLocalFile(HelpFilePath).toString();
}

QString AppContext::PreferencesPath() const {
    return UserDir + PreferencesFileName;
}

QString AppContext::ProfilesDir() const {
    return UserDir + ProfilesFolderName + NativeSeparator();
}

QString AppContext::ProfilePath(const QString& profileName) const {
    return ProfilesDir() + profileName + QStringLiteral(".apf");
}
