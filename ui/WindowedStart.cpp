#include "ui/WindowedStart.h"

#include "ui/MainForm.h"

#include <QApplication>

int RunWindowedApplication(int argc, char** argv, const std::string& fileArgument,
                           const std::string& programFolder) {
    QApplication application(argc, argv);
    TMainFormVarnSplit window(
        {QString::fromStdString(programFolder), QString::fromStdString(fileArgument)});
    window.show();
    return application.exec();
}
