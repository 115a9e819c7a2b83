#pragma once

#include "Application.h"
#include "MessageBox.h"
#include "ModalWaiter.h"
#include "TestFolder.h"
#include "frmMain.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <QToolBar>
#include <functional>
#include <memory>
#include <vector>

// The whole program over a test folder, driven as a user drives it: put rows in
// `folder`, start(), then play a Story of the modal windows that a command opens.
// Tests including this link the application (reelvane_app).
struct ProgramFixture
{
    TestFolder folder;
    std::unique_ptr<Application> app;

    void start()
    {
        app = std::make_unique<Application>(folder.Path());
        app->Start();
        QApplication::setActiveWindow(&main());
    }
    frmMain &main() { return app->MainWindow(); }
    Module1 &shared() { return app->Shared(); }

    // Toolbar button 1 (add), 2 (modify) or 3 (remove), clicked with the mouse.
    void clickToolbar(int button)
    {
        QTest::mouseClick(main().Toolbar1->widgetForAction(main().ToolbarButton(button)),
                          Qt::LeftButton);
    }
    // The user clicks into the main window (from wherever the focus was).
    void activateMain()
    {
        QApplication::setActiveWindow(nullptr);
        QApplication::setActiveWindow(&main());
        QCoreApplication::processEvents();
    }
};

// Types text that QTest::keyClicks cannot (letters beyond ASCII), one key at a time.
inline void typeText(QWidget *widget, const QString &text)
{
    for (const QChar character : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(character),
                            Qt::NoModifier);
}

// Opens the box's list as a user does (the owner fills it then) and clicks the entry.
// Returns false when the list does not offer it.
inline bool pickFromList(QComboBox *box, const QString &entry)
{
    box->showPopup();
    const int row = box->findText(entry);
    if (row < 0) {
        box->hidePopup();
        return false;
    }
    QAbstractItemView *view = box->view();
    const QModelIndex index = box->model()->index(row, box->modelColumn());
    view->scrollTo(index); // a long list shows only its first entries
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
    return box->currentText() == entry;
}

// The modal windows of one user story, in the order they must appear. Each entry waits
// for a window of its type and acts on it; the next entry is armed before the action,
// since the action is what opens the next window. A window that does not come in time
// is closed by the watchdog and the story reports it.
class Story
{
public:
    template<typename T>
    Story &then(std::function<void(T *)> act)
    {
        m_steps.push_back([this, act](std::size_t index) {
            m_waiters[index]->Expect<T>([this, act, index](T *window) {
                armNext(index + 1);
                act(window);
            });
        });
        return *this;
    }

    // Runs trigger (which blocks while the story's windows are open). Each window must come
    // within timeoutMs of the previous one.
    void play(const std::function<void()> &trigger, int timeoutMs = 5000)
    {
        m_waiters.clear();
        for (std::size_t i = 0; i < m_steps.size(); ++i)
            m_waiters.push_back(std::make_unique<ModalWaiter>(timeoutMs));
        armNext(0);
        trigger();
        // A window that the trigger's own loop did not see closes here.
        for (int i = 0; i < 100 && !complete(); ++i)
            QTest::qWait(10);
    }

    // Every window came and was acted on.
    bool complete() const { return reached() == int(m_waiters.size()) && !failed(); }
    // How far the story got: the number of windows acted on.
    int reached() const
    {
        int count = 0;
        for (const auto &waiter : m_waiters)
            count += waiter->Handled() ? 1 : 0;
        return count;
    }

private:
    bool failed() const
    {
        for (const auto &waiter : m_waiters)
            if (waiter->Failed())
                return true;
        return false;
    }
    void armNext(std::size_t index)
    {
        if (index < m_steps.size())
            m_steps[index](index);
    }

    std::vector<std::function<void(std::size_t)>> m_steps;
    std::vector<std::unique_ptr<ModalWaiter>> m_waiters;
};
