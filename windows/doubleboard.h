#pragma once

#include "form.h"

// The second board: the same 30 squares at double value. It shows and changes the first
// board's score, and begins the final round once every square is used.
class DoubleBoard final : public runtime::Form
{
    Q_OBJECT

public:
    DoubleBoard();
    static DoubleBoard &instance();

    void ReLabel();

    QPushButton *Command1(int index) { return commandButton("Command1", index); }
    QPushButton *Command2() { return commandButton("Command2"); }
    QLabel *ScoreLabel() { return label("ScoreLabel"); }
    QLabel *Label1() { return label("Label1"); }
    QLabel *Label2() { return label("Label2"); }
    QGroupBox *Frame1() { return frame("Frame1"); }

    QString accessibleName(QStringView control, int index, const QString &caption) const override;

private:
    void Form_Activate() override;
    void Command1_Click(int Index);
    void Command2_Click();
};
