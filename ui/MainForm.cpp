#include "ui/MainForm.h"

TMainFormVarnSplit::TMainFormVarnSplit(const TMainFormContext& context, QWidget* parent)
    : QWidget(parent), m_context(context) {
    setObjectName("TMainFormVarnSplit");
    setWindowTitle("Varn split");
}

TMainFormVarnSplit::~TMainFormVarnSplit() = default;

void TMainFormVarnSplit::SelectFileFromOutside(const QString& path) {
    Q_UNUSED(path);
}
