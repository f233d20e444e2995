#pragma once

#include "form.h"

#include <cstdint>

// The first board: 30 squares worth $ 200 to $ 1000, the running score and the Daily Double
// button. It owns the game's score for the whole game.
class SingleBoard final : public runtime::Form
{
    Q_OBJECT

public:
    SingleBoard();
    static SingleBoard &instance();

    std::int32_t Score = 0;
    double SingleSquareValue(int Index) const;

    QPushButton *Command1(int index) { return commandButton("Command1", index); }
    QPushButton *Command2() { return commandButton("Command2"); }
    QLabel *ScoreLabel() { return label("ScoreLabel"); }
    QLabel *Label1() { return label("Label1"); }
    QLabel *Label2() { return label("Label2"); }
    QGroupBox *Frame1() { return frame("Frame1"); }

    QString accessibleName(QStringView control, int index, const QString &caption) const override;

private:
    void Form_Load() override;
    void Form_Activate() override;
    void Command1_Click(int Index);
    void Command2_Click();
};
