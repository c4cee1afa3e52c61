#include "support/Modal.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
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

void Modal::typeFileName(QFileDialog* d, const QString& path)
{
    const QFileInfo target(path);
    const QString folder = target.absolutePath();
    if (QDir(d->directory()).absolutePath() != folder)
        d->setDirectory(folder);
    // The dialog lists its folder in the background; until the listing is complete a late selection
    // can overwrite the name field. It is complete when the model holds what the folder holds.
    auto* model = d->findChild<QFileSystemModel*>();
    ASSERT_TRUE(model);
    const bool listed = QTest::qWaitFor(
        [&] {
            const QModelIndex root = model->index(folder);
            if (model->canFetchMore(root))
                model->fetchMore(root);
            const QStringList filters = model->nameFilterDisables() ? QStringList() : model->nameFilters();
            return model->rowCount(root) == QDir(folder).entryList(filters, model->filter()).size();
        },
        30000);
    EXPECT_TRUE(listed) << "the file dialog did not list " << folder.toStdString();
    auto* name = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_TRUE(name);
    name->setFocus();
    name->selectAll();
    QTest::keyClick(name, Qt::Key_Delete);
    QTest::keyClicks(name, target.fileName());
}

QPushButton* Modal::acceptButton(QFileDialog* d)
{
    auto* buttons = d->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    if (!buttons)
        return nullptr;
    return buttons->button(d->acceptMode() == QFileDialog::AcceptSave ? QDialogButtonBox::Save
                                                                      : QDialogButtonBox::Open);
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
        typeFileName(d, path);
        QPushButton* accept = acceptButton(d);
        if (accept && accept->isEnabled())
            accept->click();
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
        // A window whose step is still running comes back on top when a box over it closes: it is
        // still that step's, also when the step waits for something in between.
        m_driven.removeAll(nullptr);
        if (m_driven.contains(top))
            return;
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
        const QPointer<QWidget> driven(top);
        m_driven << driven;
        step(top);
        m_driven.removeOne(driven);
    });
}

std::function<void(QWidget*)> enterOnQuestion(std::vector<QString>* texts)
{
    return [texts](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_TRUE(box);
        if (texts)
            texts->push_back(box->text());
        EXPECT_EQ(static_cast<QAbstractButton*>(box->defaultButton()), box->button(QMessageBox::No))
            << box->text().toStdString();
        QTest::keyClick(box, Qt::Key_Return);
    };
}

} // namespace tlmtest
