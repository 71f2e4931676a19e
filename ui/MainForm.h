#pragma once

#include <QString>
#include <QWidget>

// What the window needs to know about how the program was started.
struct TMainFormContext {
    QString programFolder; // the stub lies here
    QString fileArgument;  // a file to select at the first activation; "" for none
};

// The program's main window: the source and target trees, the split
// parameters, the information panel, progress, and the split, unite and stop
// commands.
class TMainFormVarnSplit : public QWidget {
    Q_OBJECT
public:
    explicit TMainFormVarnSplit(const TMainFormContext& context, QWidget* parent = nullptr);
    ~TMainFormVarnSplit() override;

    // A file handed in from outside (a second start): the source tree selects
    // it when it is an existing file.
    void SelectFileFromOutside(const QString& path);

private:
    TMainFormContext m_context;
};
