#include "platform/ui/FontEffects.h"

#include <QCheckBox>
#include <QFontDialog>

void offerFontEffects(QFontDialog &dialog, bool offered)
{
    // The toolkit's dialog has two check boxes, underline and strike-out, in a box of their own.
    for (QCheckBox *effect : dialog.findChildren<QCheckBox *>()) {
        if (!offered && effect->isChecked())
            effect->click();
        if (QWidget *box = effect->parentWidget(); box && box != &dialog)
            box->setVisible(offered);
        effect->setVisible(offered);
    }
}

QFont withoutFontEffects(QFont font)
{
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}
