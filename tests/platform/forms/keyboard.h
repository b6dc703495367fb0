#pragma once
// What a clerk at the keyboard relies on, checked over a whole window: each Alt
// letter reaches one control, and every button with words on it has a letter.
#include <QAbstractButton>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStringList>
#include <QWidget>

namespace zarv::test::keyboard {

// The letter after the "&" of a caption ("" without one; "&&" is a plain "&").
inline QString mnemonicOf(const QString& caption)
{
    const QKeySequence seq = QKeySequence::mnemonic(caption);
    return seq.isEmpty() ? QString() : seq.toString(QKeySequence::PortableText).section(u'+', -1).toUpper();
}

// Faults of one window, as "window: what": letters that two captions share
// (the window's controls and menu bar together, and within each menu), and push
// buttons whose caption has a letter or digit but no mnemonic.
inline QStringList mnemonicFaults(QWidget* window)
{
    QStringList faults;
    const QString name = window->objectName().isEmpty() ? QString::fromLatin1(window->metaObject()->className())
                                                        : window->objectName();
    const auto checkScope = [&](const QString& scope, const QList<QPair<QString, QString>>& captions) {
        QMap<QString, QStringList> byLetter;
        for (const auto& [owner, caption] : captions) {
            const QString letter = mnemonicOf(caption);
            if (!letter.isEmpty())
                byLetter[letter] << owner;
        }
        for (auto it = byLetter.cbegin(); it != byLetter.cend(); ++it) {
            if (it.value().size() > 1)
                faults << QStringLiteral("%1: Alt+%2 is %3").arg(scope, it.key(), it.value().join(QStringLiteral(" and ")));
        }
    };

    QList<QPair<QString, QString>> captions;
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
        captions.append({b->objectName(), b->text()});
        const bool wordy = std::any_of(b->text().cbegin(), b->text().cend(), [](QChar c) { return c.isLetterOrNumber(); });
        if (qobject_cast<QPushButton*>(b) && wordy && mnemonicOf(b->text()).isEmpty())
            faults << QStringLiteral("%1: %2 \"%3\" has no Alt letter").arg(name, b->objectName(), b->text());
    }
    for (QGroupBox* g : window->findChildren<QGroupBox*>())
        captions.append({g->objectName(), g->title()});
    for (QLabel* l : window->findChildren<QLabel*>()) {
        if (l->buddy())
            captions.append({l->objectName(), l->text()});
    }
    for (QMenuBar* bar : window->findChildren<QMenuBar*>()) {
        for (QAction* a : bar->actions())
            captions.append({QStringLiteral("menu ") + a->text(), a->text()});
    }
    checkScope(name, captions);
    for (QMenu* menu : window->findChildren<QMenu*>()) {
        QList<QPair<QString, QString>> items;
        for (QAction* a : menu->actions())
            items.append({a->text(), a->text()});
        checkScope(name + QStringLiteral(" menu ") + menu->title(), items);
    }
    return faults;
}

} // namespace zarv::test::keyboard
