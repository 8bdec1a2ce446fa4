#pragma once

class QAbstractButton;

// Clicks a button where a person would: in its laid-out place (layouts of
// rows just added settle first), and a check box on its indicator, since a
// check box stretched across its row only takes clicks near its text.
class PersonClicks
{
public:
    // Answers false when the button has no place on screen to click.
    static bool click(QAbstractButton *button);
};
