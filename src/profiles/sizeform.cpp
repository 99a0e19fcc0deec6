#include "profiles/sizeform.h"

TSizeForm::TSizeForm(QWidget* parent) : QWidget(parent, Qt::Dialog) {
    setWindowTitle(QStringLiteral("Video Size of output files"));
    setFixedSize(336, 106);
}
