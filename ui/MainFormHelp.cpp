// The window's help: context numbers, what's-this help, the help window and
// the about box.

#include "ui/MainForm.h"

#include "shell/ShellTreeView.h"
#include "ui/AboutForm.h"
#include "ui/HelpWindow.h"
#include "ui/SettingsForm.h"
#include "ui/WhatsThis.h"

#include <QComboBox>
#include <QFrame>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>

void TMainFormVarnSplit::CreateHelp() {
    // The topics of the help pages answer these numbers.
    const std::pair<QWidget*, int> contexts[] = {
        {this, 999},      {ProgressBar1, 999}, {shtSourceData, 1000}, {shtTargetData, 1001},
        {cbFilter, 1002}, {cbBytes, 1003},     {pnl_Info, 1004},
    };
    for (const auto& [control, context] : contexts)
        control->setProperty(HelpContextProperty, context);
    btnHelpWhatsThis->setObjectName("btnHelpWhatsThis");
    m_whatsThis = new TWhatsThis(this, btnHelpWhatsThis);
    connect(btnHelp, &QPushButton::clicked, this, &TMainFormVarnSplit::btnHelpClick);
    connect(btnAbout, &QPushButton::clicked, this, &TMainFormVarnSplit::btnAboutClick);
    TSettingsForm::ShowHelp = RunHelpMacro;
}

void TMainFormVarnSplit::btnHelpClick() {
    THelpWindow::Open(this)->ShowContents();
}

void TMainFormVarnSplit::btnAboutClick() {
    ExecuteAbout(this);
}
