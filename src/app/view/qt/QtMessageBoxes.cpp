#include "app/view/qt/QtMessageBoxes.h"

#include "app/view/qt/QtText.h"

#include <QMessageBox>
#include <QRegularExpression>

namespace fendralwin {

namespace {

QMessageBox::Icon iconOf(MessageKind kind) {
    switch (kind) {
    case MessageKind::Warning:
        return QMessageBox::Warning;
    case MessageKind::Critical:
        return QMessageBox::Critical;
    case MessageKind::Plain:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

void QtMessageBoxes::show(MessageKind kind, const std::string& title, const std::string& text) {
    // A carriage return alone breaks the line, as on the system the messages were written for.
    static const QRegularExpression loneCarriageReturn(QStringLiteral("\r(?!\n)"));
    QString shown = toQt(text);
    shown.replace(loneCarriageReturn, QStringLiteral("\n"));
    QMessageBox box(iconOf(kind), toQt(title), shown, QMessageBox::Ok, parent_);
    box.setObjectName(QStringLiteral("messageBox"));
    // A failure's text may name a file, and a file name is never markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace fendralwin
