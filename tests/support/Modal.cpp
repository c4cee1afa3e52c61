#include "support/Modal.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

namespace tlmtest {

Modal::Modal() : m_token(std::make_shared<bool>(true))
{
    poll();
}

Modal::~Modal()
{
    *m_token = false;
}

void Modal::unexpectedWindow(QWidget* w)
{
    ADD_FAILURE() << "unexpected window " << (w ? w->objectName().toStdString() : std::string("?")) << " "
                  << (qobject_cast<QMessageBox*>(w) ? qobject_cast<QMessageBox*>(w)->text().toStdString()
                                                    : "");
    if (auto* box = qobject_cast<QMessageBox*>(w))
        box->done(0);
    else if (auto* d = qobject_cast<QDialog*>(w))
        d->reject();
    else if (w)
        w->close();
}

Modal& Modal::box(int standardButton)
{
    return then([this, standardButton](QWidget* w) {
        auto* b = qobject_cast<QMessageBox*>(w);
        if (!b) {
            unexpectedWindow(w);
            return;
        }
        m_boxes.push_back({b->windowTitle(), b->text(), int(b->icon())});
        if (QAbstractButton* button = b->button(QMessageBox::StandardButton(standardButton)))
            button->click();
        else
            b->done(0);
    });
}

Modal& Modal::then(std::function<void(QWidget*)> step)
{
    m_steps.push_back(std::move(step));
    return *this;
}

Modal& Modal::file(const QString& path)
{
    return then([path](QWidget* w) {
        auto* d = qobject_cast<QFileDialog*>(w);
        if (!d) {
            unexpectedWindow(w);
            return;
        }
        if (path.isEmpty()) {
            d->reject();
            return;
        }
        d->selectFile(path);
        static_cast<QDialog*>(d)->accept(); // virtual: the file dialog checks the name
        if (d->isVisible())
            d->reject(); // refused by the dialog itself (a file that does not exist): the user gives up
    });
}

QStringList Modal::boxTexts() const
{
    QStringList out;
    for (const SeenBox& b : m_boxes)
        out << b.text;
    return out;
}

void Modal::poll()
{
    // A fresh single-shot each time, so that polling goes on inside the nested loops a step opens.
    std::weak_ptr<bool> alive = m_token;
    QTimer::singleShot(5, [this, alive] {
        if (alive.expired() || !*alive.lock())
            return;
        poll();
        QWidget* top = QApplication::activeModalWidget();
        if (!top || !top->isVisible()) {
            m_lastTop = nullptr;
            return;
        }
        if (top == m_lastTop)
            return;
        m_lastTop = top;
        if (m_steps.empty() && m_everyBox && qobject_cast<QMessageBox*>(top))
            box(m_everyBox);
        if (m_steps.empty()) {
            ++m_unexpected;
            unexpectedWindow(top);
            return;
        }
        if (qEnvironmentVariableIsSet("TLM_MODAL_TRACE"))
            qInfo() << "modal step for" << top << m_steps.size();
        auto step = std::move(m_steps.front());
        m_steps.pop_front();
        step(top);
    });
}

} // namespace tlmtest
