#include "app/MessageBox.h"

#include "data/Globals.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

namespace tlm {

namespace {
bool g_toErrorOutput = false;
} // namespace

void setBoxesToErrorOutput(bool on)
{
    g_toErrorOutput = on;
}

bool boxesToErrorOutput()
{
    return g_toErrorOutput;
}

void tellOnErrorOutput(const QString& text)
{
    QString line = text;
    line.replace(QLatin1String("\r\n"), QLatin1String(" ")).replace('\r', ' ').replace('\n', ' ');
    std::fprintf(stderr, "tlm: %s\n", line.trimmed().toUtf8().constData());
    std::fflush(stderr);
}

int msgBox(const QString& text, int style, const QString& title)
{
    // Without an answer: No, Cancel or OK, as a box closed by Escape gives.
    const int unanswered = (style & 0x7) == 4 ? vbNo : ((style & 0x7) == 3 ? vbCancel : vbOK);
    if (g_toErrorOutput) {
        tellOnErrorOutput(text);
        return unanswered;
    }
    QMessageBox box(QApplication::activeWindow());
    box.setObjectName(QStringLiteral("msgBox"));
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace('\r', '\n');
    box.setText(shown);
    box.setTextFormat(Qt::PlainText);
    box.setWindowTitle(title.isEmpty() ? gAppTitle : title);
    switch (style & 0x70) {
    case 16:
        box.setIcon(QMessageBox::Critical);
        break;
    case 32:
        box.setIcon(QMessageBox::Question);
        break;
    case 48:
        box.setIcon(QMessageBox::Warning);
        break;
    case 64:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
    switch (style & 0x7) {
    case 1:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case 3:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case 4:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    default:
        box.setStandardButtons(QMessageBox::Ok);
    }
    // 256: the second button is the default (No of Yes and No), for a question whose Yes costs much.
    if ((style & 0x300) == 256 && box.buttons().size() > 1)
        box.setDefaultButton((style & 0x7) == 4 ? QMessageBox::No : QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return vbYes;
    case QMessageBox::No:
        return vbNo;
    case QMessageBox::Cancel:
        return vbCancel;
    default:
        return unanswered;
    }
}

void warn(const QString& text)
{
    msgBox(text, 48, QStringLiteral("Achtung"));
}

bool confirmDelete()
{
    return msgBox(QStringLiteral("Soll dieser Eintrag wirklich entfernt werden?"), 36 + 256,
                  QStringLiteral("Ihre Wahl ...")) == vbYes;
}

} // namespace tlm
