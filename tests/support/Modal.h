#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

class QFileDialog;
class QPushButton;
#include <deque>
#include <functional>
#include <vector>

namespace tlmtest {

struct SeenBox
{
    QString title;
    QString text;
    int icon = 0;
};

// Answers modal windows as a user would: each time a new modal window comes on top, the next
// queued step acts on it. Message boxes are recorded. A modal window with no step left is closed,
// and counted as unexpected, so a test can never hang.
class Modal
{
public:
    Modal();
    ~Modal();

    // The next message box: recorded and answered with the standard button (QMessageBox::Yes, ...).
    Modal& box(int standardButton);
    // The next modal window: given to the step (a QDialog, QFileDialog, one of ours).
    Modal& then(std::function<void(QWidget*)> step);
    template <class W> Modal& on(std::function<void(W&)> step)
    {
        return then([step](QWidget* w) {
            if (auto* typed = qobject_cast<W*>(w))
                step(*typed);
            else
                unexpectedWindow(w);
        });
    }
    // A file dialog, driven as a user drives it: once it has listed the path's folder, the name is
    // typed into its name field and its accept button pressed; cancelled when the path is empty.
    Modal& file(const QString& path);
    // The same steps one by one, for tests that act between them.
    static void typeFileName(QFileDialog* dialog, const QString& path);
    static QPushButton* acceptButton(QFileDialog* dialog);

    // Once the steps are used up, every further message box is recorded and answered with this
    // button instead of counting as unexpected.
    Modal& answerEveryBox(int standardButton)
    {
        m_everyBox = standardButton;
        return *this;
    }

    const std::vector<SeenBox>& boxes() const { return m_boxes; }
    QStringList boxTexts() const;
    int unexpected() const { return m_unexpected; }
    bool allUsed() const { return m_steps.empty(); }

    static void unexpectedWindow(QWidget* w);

private:
    void poll();

    std::deque<std::function<void(QWidget*)>> m_steps;
    std::vector<SeenBox> m_boxes;
    QPointer<QWidget> m_lastTop;
    QList<QPointer<QWidget>> m_driven; // the windows whose steps are running
    int m_unexpected = 0;
    int m_everyBox = 0;
    std::shared_ptr<bool> m_token;
};

// Answers a question with Enter, as a hurried user does, after checking that No is its default;
// keeps the question's text when texts is given.
std::function<void(QWidget*)> enterOnQuestion(std::vector<QString>* texts = nullptr);

} // namespace tlmtest
