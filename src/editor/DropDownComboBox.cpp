#include "DropDownComboBox.h"

DropDownComboBox::DropDownComboBox(QWidget *parent) : QComboBox(parent) {}

void DropDownComboBox::showPopup()
{
    Q_EMIT DropDown();
    if (count() > 0)
        QComboBox::showPopup();
}
