#pragma once

#include <QComboBox>

// A combo box that announces its list is about to open, so the owner can fill the list
// first. An empty list is not opened.
class DropDownComboBox : public QComboBox
{
    Q_OBJECT

public:
    explicit DropDownComboBox(QWidget *parent = nullptr);

    void showPopup() override;

Q_SIGNALS:
    void DropDown();
};
