#include "properties/ui/FontPanel.h"

#include "platform/ui/FontEffects.h"

#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>

namespace {

// The panel lists installed families only: a family the desktop stands in for ("Times New Roman"
// drawn by its metric twin) would open on the panel's first entry. Show the family and style that
// draw the font instead.
QFont asListed(const QFont &font)
{
    if (QFontDatabase::families().contains(font.family()))
        return font;
    const QFontInfo drawn(font);
    QFont listed = font;
    listed.setFamily(drawn.family());
    listed.setStyleName(drawn.styleName());
    return listed;
}

} // namespace

FontPanel::FontPanel(QWidget *owner) : QObject(owner), m_owner(owner) {}

FontPanel::~FontPanel()
{
    // The action belongs to objects that may be gone before the panel window is.
    m_action = nullptr;
    delete m_panel.data();
}

void FontPanel::open(const QFont &selected, Action action, bool withEffects)
{
    if (!m_panel) {
        m_panel = new QFontDialog(m_owner);
        m_panel->setObjectName(QStringLiteral("fontPanel"));
        m_panel->setWindowTitle(tr("Fonts"));
        // A live panel: each pick applies at once, as the desktop's font panels do.
        m_panel->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
        m_panel->setModal(false);
        connect(m_panel, &QFontDialog::currentFontChanged, this, &FontPanel::changeFont);
    }
    m_effects = withEffects;
    {
        const QSignalBlocker quiet(m_panel);
        m_panel->setCurrentFont(asListed(withEffects ? selected : withoutFontEffects(selected)));
        offerFontEffects(*m_panel, withEffects);
    }
    m_action = std::move(action);
    m_panel->show();
    m_panel->raise();
    m_panel->activateWindow();
}

void FontPanel::changeFont(const QFont &font)
{
    if (m_action)
        m_action(m_effects ? font : withoutFontEffects(font));
}
