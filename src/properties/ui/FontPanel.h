#pragma once

#include <QFont>
#include <QObject>
#include <QPointer>

#include <functional>

class QFontDialog;
class QWidget;

// The one font panel of the properties panel, shared by the text tab and the card-wide font. It is
// not modal: it stays open beside the design and hands every font the user picks to the command
// that opened it last, until another command opens it for itself.
class FontPanel : public QObject {
    Q_OBJECT
public:
    // The panel window is made on first use, as a window of `owner`.
    explicit FontPanel(QWidget *owner);
    ~FontPanel() override;

    using Action = std::function<void(const QFont &)>;
    // Shows the panel with `selected` chosen and brings it to the front; from now on `action`
    // receives the fonts picked in it. Showing the font is no pick. Underline and strike-out are
    // offered only `withEffects`, for a font whose text keeps them.
    void open(const QFont &selected, Action action, bool withEffects);
    // What a pick in the panel does: the font goes to the last opener's action.
    void changeFont(const QFont &font);
    // The panel window; null until it was first opened.
    QFontDialog *fontPanel() const { return m_panel.data(); }

private:
    QWidget *m_owner;
    QPointer<QFontDialog> m_panel;
    Action m_action;
    bool m_effects = true;
};
