#include "PanelTestSupport.h"

#include "core/FontNames.h"
#include "platform/ui/ColorWell.h"
#include "properties/PanelConversions.h"
#include "properties/TextPanelValues.h"
#include "properties/ui/DataSourceTab.h"
#include "properties/ui/FontPanel.h"
#include "properties/ui/TextEditTab.h"
#include "properties/ui/TextPanel.h"
#include "properties/ui/TextPropertiesTab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFontDatabase>
#include <QFontDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QSlider>
#include <QLocale>
#include <QTextCursor>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

void pick(ColorWell *well, const QColor &colour)
{
    well->setColor(colour);
    emit well->colorChanged(colour);
}

// Types into the editor as a user would, one key at a time.
void typeText(QPlainTextEdit *editor, const QString &text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(editor, &press);
    }
}

std::shared_ptr<SKTText> someText(const QString &words = QStringLiteral("Happy Birthday"))
{
    auto text = made<SKTText>();
    text->Text_contents().string = words;
    text->_isDrawingStroke = true;
    text->_strokeWidth = 2;
    text->_strokeColor = QColor(Qt::black);
    text->_stroke_border_type = QStringLiteral("DA");
    text->_isDrawingFill = true;
    text->_fill_type = QStringLiteral("G");
    text->_fill_grad_angle = 45;
    text->alpha_val = 0.5f;
    text->txt_clr = QColor(10, 20, 30);
    text->text_ctrl_font = QFont(QStringLiteral("Liberation Serif"), 18);
    text->text_alignmnet = 0;
    text->text_alignmnet_Vert = 1;
    text->text_transfrom_case = 2;
    text->text_kerning = 1.5f;
    text->Drawing_Shadow = true;
    text->text_rotation = 30;
    text->Shadow_Color = QColor(0, 0, 255);
    text->Shadow_offset_X = 2.5f;
    text->Shadow_offset_Y = -3.0f;
    text->Shadow_blur = 4.0f;
    text->Shadow_transparency = 0.25f;
    return text;
}

class TextPanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TextEditTab *e = text.text_edtng_tab;
        e->Text_Date_style->addItems({QStringLiteral("M-d-yyyy"), QStringLiteral("yyyy-MM-dd")});
        e->Text_Time_style->addItems({QStringLiteral("h:mm:ss a"), QStringLiteral("HH:mm:ss")});
        reference = someText();
        design.current = reference;
        design.selection = {made<SKTText>(), made<Shape_Control>(QStringLiteral("R")), made<SKTImage>()};
        show(*reference);
    }

    void TearDown() override
    {
        delete text.text_edtng_tab;
        delete text.text_prop_tab;
        delete source;
    }

    void show(SKTGraphic &graphic)
    {
        const QScopedValueRollback<bool> filling(App().Not_Draw_Only_Prop_Change, true);
        text.fill(graphic);
    }

    QPlainTextEdit *editor() const { return text.text_edtng_tab->Text_value_Edit; }

    AppFixture app;
    ScopedScriptedServices services;
    FakeDesign design;
    QCheckBox print;
    DataSourceTab *source = new DataSourceTab(design, design);
    FontPanel fonts{nullptr};
    TextPanel text{design, &print, *source, fonts};
    std::shared_ptr<SKTText> reference;
};

struct TextCase {
    const char *control;
    std::function<void(TextPanel &, QCheckBox &)> change;
    std::function<QVariant(SKTGraphic &)> field;
    QVariant expected;
};

TEST_F(TextPanelTest, EveryControlWritesItsFieldIntoEverySelectedObject)
{
    using P = TextPropertiesTab;
    auto tab = [](TextPanel &t) -> P & { return *t.text_prop_tab; };
    const TextCase cases[] = {
        {"Text_border_chk", [&](TextPanel &t, QCheckBox &) { tab(t).Text_border_chk->click(); },
         [](SKTGraphic &g) { return QVariant(g._isDrawingStroke); }, false},
        {"Text_bor_Stepper", [&](TextPanel &t, QCheckBox &) { tab(t).Text_bor_Stepper->stepBy(1); },
         [](SKTGraphic &g) { return QVariant(g._strokeWidth); }, 3.0},
        {"Text_bor_Text", [&](TextPanel &t, QCheckBox &) { typeInto(tab(t).Text_bor_Stepper, QStringLiteral("6")); },
         [](SKTGraphic &g) { return QVariant(g._strokeWidth); }, 6.0},
        {"Text_bordr_clr", [&](TextPanel &t, QCheckBox &) { pick(tab(t).Text_bordr_clr, QColor(0, 128, 0)); },
         [](SKTGraphic &g) { return QVariant(g._strokeColor); }, QColor(0, 128, 0)},
        {"Text_border_style", [&](TextPanel &t, QCheckBox &) { tab(t).Text_border_style->setCurrentIndex(4); },
         [](SKTGraphic &g) { return QVariant(g._stroke_border_type); }, QStringLiteral("DDD")},
        {"Text_fill_chk", [&](TextPanel &t, QCheckBox &) { tab(t).Text_fill_chk->click(); },
         [](SKTGraphic &g) { return QVariant(g._isDrawingFill); }, false},
        {"Text_fill_chk (type)", [&](TextPanel &t, QCheckBox &) { tab(t).Text_fill_chk->click(); },
         [](SKTGraphic &g) { return QVariant(g._fill_type); }, QStringLiteral("S")},
        {"Text_solid_fill_rd", [&](TextPanel &t, QCheckBox &) { tab(t).Text_solid_fill_rd->click(); },
         [](SKTGraphic &g) { return QVariant(g._fill_type); }, QStringLiteral("S")},
        {"Text_fill_clr", [&](TextPanel &t, QCheckBox &) { pick(tab(t).Text_fill_clr, QColor(250, 200, 10)); },
         [](SKTGraphic &g) { return QVariant(g._fillColor); }, QColor(250, 200, 10)},
        {"Text_fill_Grd_1_clr", [&](TextPanel &t, QCheckBox &) { pick(tab(t).Text_fill_Grd_1_clr, QColor(1, 2, 3)); },
         [](SKTGraphic &g) { return QVariant(g._fill_Grad_clr1); }, QColor(1, 2, 3)},
        {"Text_fill_Grd_2_clr", [&](TextPanel &t, QCheckBox &) { pick(tab(t).Text_fill_Grd_2_clr, QColor(4, 5, 6)); },
         [](SKTGraphic &g) { return QVariant(g._fill_Grad_clr2); }, QColor(4, 5, 6)},
        {"Text_grad_Stepper", [&](TextPanel &t, QCheckBox &) { tab(t).Text_grad_Stepper->stepBy(1); },
         [](SKTGraphic &g) { return QVariant(g._fill_grad_angle); }, 46.0},
        {"Text_alpha_Stepper", [&](TextPanel &t, QCheckBox &) { tab(t).Text_alpha_Stepper->stepBy(-5); },
         [](SKTGraphic &g) { return QVariant(g.alpha_val); }, 0.45f},
        {"Text_clr", [&](TextPanel &t, QCheckBox &) { pick(tab(t).Text_clr, QColor(200, 0, 0)); },
         [](SKTGraphic &g) { return QVariant(g.txt_clr); }, QColor(200, 0, 0)},
        {"Text_align_combo", [&](TextPanel &t, QCheckBox &) { tab(t).Text_align_combo->setCurrentIndex(3); },
         [](SKTGraphic &g) { return QVariant(g.text_alignmnet); }, 3},
        {"Text_align_combo (none)", [&](TextPanel &t, QCheckBox &) { tab(t).Text_align_combo->setCurrentIndex(-1); },
         [](SKTGraphic &g) { return QVariant(g.text_alignmnet); }, -1},
        {"Text_vert_align_combo", [&](TextPanel &t, QCheckBox &) { tab(t).Text_vert_align_combo->setCurrentIndex(2); },
         [](SKTGraphic &g) { return QVariant(g.text_alignmnet_Vert); }, 2},
        {"Text_case_combo", [&](TextPanel &t, QCheckBox &) { tab(t).Text_case_combo->setCurrentIndex(1); },
         [](SKTGraphic &g) { return QVariant(g.text_transfrom_case); }, 1},
        {"Text_Kern_Stepper", [&](TextPanel &t, QCheckBox &) { tab(t).Text_Kern_Stepper->stepBy(1); },
         [](SKTGraphic &g) { return QVariant(g.text_kerning); }, 2.0f},
        {"Text_Kern_Text", [&](TextPanel &t, QCheckBox &) { typeInto(tab(t).Text_Kern_Stepper, QStringLiteral("-2.5")); },
         [](SKTGraphic &g) { return QVariant(g.text_kerning); }, -2.5f},
        {"txt_rotation_slidr", [&](TextPanel &t, QCheckBox &) { tab(t).txt_rotation_slidr->setValue(-45); },
         [](SKTGraphic &g) { return QVariant(g.text_rotation); }, -45},
        {"draw_shadow_chkbox", [&](TextPanel &t, QCheckBox &) { tab(t).draw_shadow_chkbox->click(); },
         [](SKTGraphic &g) { return QVariant(g.Drawing_Shadow); }, false},
        {"draw_shadow_chkbox (colour kept)", [&](TextPanel &t, QCheckBox &) { tab(t).draw_shadow_chkbox->click(); },
         [](SKTGraphic &g) { return QVariant(g.Shadow_Color); }, QColor(0, 0, 255)},
        {"Shadow_clr", [&](TextPanel &t, QCheckBox &) { pick(tab(t).Shadow_clr, QColor(9, 9, 9)); },
         [](SKTGraphic &g) { return QVariant(g.Shadow_Color); }, QColor(9, 9, 9)},
        {"shadow_x_Stepper", [&](TextPanel &t, QCheckBox &) { tab(t).shadow_x_Stepper->stepBy(1); },
         [](SKTGraphic &g) { return QVariant(g.Shadow_offset_X); }, 3.5f},
        {"shadow_y_Stepper", [&](TextPanel &t, QCheckBox &) { tab(t).shadow_y_Stepper->stepBy(-1); },
         [](SKTGraphic &g) { return QVariant(g.Shadow_offset_Y); }, -4.0f},
        {"shadow_blur_Stepper", [&](TextPanel &t, QCheckBox &) { typeInto(tab(t).shadow_blur_Stepper, QStringLiteral("7.5")); },
         [](SKTGraphic &g) { return QVariant(g.Shadow_blur); }, 7.5f},
        {"shadow_transp_Stepper", [&](TextPanel &t, QCheckBox &) { typeInto(tab(t).shadow_transp_Stepper, QStringLiteral("50")); },
         [](SKTGraphic &g) { return QVariant(g.Shadow_transparency); }, 0.5f},
        {"print_object_chk", [&](TextPanel &t, QCheckBox &p) { p.setChecked(true); tab(t).Text_Kern_Stepper->stepBy(1); },
         [](SKTGraphic &g) { return QVariant(g.print_object); }, 1},
        {"Text_font (panel opened)", [&](TextPanel &t, QCheckBox &) { tab(t).Text_Font_btn->click(); },
         [](SKTGraphic &g) { return QVariant(g.text_ctrl_font); }, QFont(QStringLiteral("Liberation Serif"), 18)},
    };
    for (const TextCase &c : cases) {
        SCOPED_TRACE(c.control);
        design.selection = {made<SKTText>(), made<Shape_Control>(QStringLiteral("R")), made<SKTImage>()};
        const QString before = storedText(*design.selection.first());
        print.setChecked(false);
        show(*reference);
        const int refreshes = design.refreshes;
        c.change(text, print);
        for (const SKTGraphicPtr &graphic : design.selection)
            EXPECT_EQ(c.field(*graphic), c.expected) << graphic->className().toStdString();
        EXPECT_EQ(design.refreshes, refreshes + 1);
        // With several objects selected no text is written.
        EXPECT_EQ(storedText(*design.selection.first()), before);
    }
}

TEST_F(TextPanelTest, TheTextGoesOnlyIntoAnObjectSelectedAlone)
{
    auto one = made<SKTText>();
    design.selection = {one};
    design.current = one;
    editor()->moveCursor(QTextCursor::End);
    typeText(editor(), QStringLiteral("!"));
    EXPECT_EQ(storedText(*one), QStringLiteral("Happy Birthday!"));

    auto other = made<SKTText>();
    design.selection = {one, other};
    typeText(editor(), QStringLiteral("?"));
    EXPECT_EQ(storedText(*one), QStringLiteral("Happy Birthday!"));
    EXPECT_EQ(storedText(*other), QStringLiteral("Text here"));
    EXPECT_EQ(other->txt_clr, QColor(10, 20, 30));
}

TEST_F(TextPanelTest, TheEditorDropsThePlaceholderAndKeeps250Characters)
{
    auto one = made<SKTText>();
    design.selection = {one};
    const struct {
        const char *name;
        QString shown;  // what the editor held
        QString typed;  // then typed at its end
        QString kept;
    } cases[] = {
        {"placeholder", QStringLiteral("Text here"), QStringLiteral("H"), QStringLiteral("H")},
        {"placeholder twice", QStringLiteral("Text hereText here"), QStringLiteral("i"), QStringLiteral("i")},
        {"exactly 250", QString(249, QLatin1Char('a')), QStringLiteral("b"), QString(249, QLatin1Char('a')) + QLatin1Char('b')},
        {"251", QString(250, QLatin1Char('a')), QStringLiteral("b"), QString(250, QLatin1Char('a'))},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        {
            const QSignalBlocker quiet(editor());
            editor()->setPlainText(c.shown);
            editor()->moveCursor(QTextCursor::End);
        }
        typeText(editor(), c.typed);
        EXPECT_EQ(editor()->toPlainText(), c.kept);
        EXPECT_EQ(storedText(*one), c.kept);
    }

    // Pasting 300 characters keeps the first 250; a pair of code units at the cut stays whole or goes.
    editor()->setPlainText(QString(300, QLatin1Char('x')));
    EXPECT_EQ(storedText(*one), QString(250, QLatin1Char('x')));
    const QString face = QString::fromUtf8("\xF0\x9F\x98\x80"); // outside the basic plane: two units
    editor()->setPlainText(QString(249, QLatin1Char('y')) + face + QStringLiteral("zz"));
    EXPECT_EQ(storedText(*one), QString(249, QLatin1Char('y')));
    editor()->setPlainText(QString(248, QLatin1Char('y')) + face + QStringLiteral("zz"));
    EXPECT_EQ(storedText(*one), QString(248, QLatin1Char('y')) + face);
}

TEST_F(TextPanelTest, DatesAndTimesGoInAtTheCaretInTheChosenPattern)
{
    auto one = made<SKTText>();
    design.selection = {one};
    TextEditTab *e = text.text_edtng_tab;
    const struct {
        QComboBox *list;
        QPushButton *button;
        int item;
        const char *qtPattern; // the same pattern in Qt's letters
    } cases[] = {
        {e->Text_Date_style, e->Text_Insert_Date_btn, 1, "yyyy-MM-dd"},
        {e->Text_Date_style, e->Text_Insert_Date_btn, 0, "M-d-yyyy"},
        {e->Text_Time_style, e->Text_Insert_Time_btn, 1, "HH:mm:ss"},
        {e->Text_Time_style, e->Text_Insert_Time_btn, 0, "h:mm:ss AP"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.qtPattern);
        {
            const QSignalBlocker quiet(editor());
            editor()->setPlainText(QStringLiteral("On [] at"));
        }
        // "[]" selected: the value takes its place.
        QTextCursor cursor = editor()->textCursor();
        cursor.setPosition(3);
        cursor.setPosition(5, QTextCursor::KeepAnchor);
        editor()->setTextCursor(cursor);
        c.list->setCurrentIndex(c.item);
        const QDateTime before = QDateTime::currentDateTime();
        c.button->click();
        const QDateTime after = QDateTime::currentDateTime();
        const QString written = storedText(*one);
        ASSERT_TRUE(written.startsWith(QStringLiteral("On ")) && written.endsWith(QStringLiteral(" at"))) << written.toStdString();
        const QString value = written.mid(3, written.size() - 6);
        // Qt's own formatting of the same pattern in its letters is the reference; the clock may
        // turn between the two readings.
        const QString qt = QString::fromLatin1(c.qtPattern);
        const QLocale locale;
        EXPECT_TRUE(value == locale.toString(before, qt) || value == locale.toString(after, qt)) << value.toStdString();
        EXPECT_EQ(editor()->toPlainText(), written);
    }

    // Without a pattern the user is told and nothing changes.
    e->Text_Date_style->setCurrentIndex(-1);
    const QString before = editor()->toPlainText();
    e->Text_Insert_Date_btn->click();
    e->Text_Time_style->setCurrentIndex(-1);
    e->Text_Insert_Time_btn->click();
    EXPECT_EQ(services->messages,
              (QStringList{QStringLiteral("\nPlease select Date format."), QStringLiteral("\nPlease select Time format.")}));
    EXPECT_EQ(editor()->toPlainText(), before);
}

TEST_F(TextPanelTest, TheTemplateButtonOffersTitlesOrMessagesByTheTextShown)
{
    auto title = made<SKTText>();
    title->control_ID = QStringLiteral("PARTY_TITLE");
    auto message = made<SKTText>();
    message->control_ID = QStringLiteral("PARTY_MSG");
    auto plain = made<SKTText>();
    text.text_edtng_tab->show();
    QPushButton *button = text.text_edtng_tab->insert_template_btn;

    show(*plain);
    EXPECT_FALSE(button->isVisible());

    design.selection = {title};
    show(*title);
    EXPECT_TRUE(button->isVisible());
    EXPECT_EQ(button->text(), QStringLiteral("Use Template Title"));
    design.templateAnswer = QStringLiteral("Welcome Home");
    button->click();
    EXPECT_EQ(storedText(*title), QStringLiteral("Welcome Home"));
    EXPECT_EQ(editor()->toPlainText(), QStringLiteral("Welcome Home"));

    design.selection = {message};
    show(*message);
    EXPECT_EQ(button->text(), QStringLiteral("Use Template Message"));
    design.templateAnswer.reset();
    button->click();
    EXPECT_EQ(storedText(*message), QStringLiteral("Text here"));
    EXPECT_EQ(design.templateModes, (QStringList{QStringLiteral("T"), QStringLiteral("M")}));
}

TEST_F(TextPanelTest, TheFontPanelServesWhoeverOpenedItLast)
{
    design.selection = {made<SKTText>(), made<SKTText>()};
    text.text_prop_tab->Text_Font_btn->click();
    ASSERT_NE(fonts.fontPanel(), nullptr);
    EXPECT_TRUE(fonts.fontPanel()->isVisible());
    EXPECT_FALSE(fonts.fontPanel()->isModal());
    EXPECT_EQ(fonts.fontPanel()->currentFont().family(), QStringLiteral("Liberation Serif"));

    const QFont chosen(QStringLiteral("Liberation Sans"), 24);
    fonts.fontPanel()->setCurrentFont(chosen);
    for (const SKTGraphicPtr &graphic : design.selection)
        EXPECT_EQ(graphic->text_ctrl_font.family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(text.Text_font.family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(text.text_prop_tab->Text_font_value->text(), PanelConversions::fontLabel(text.Text_font));

    // Another opener takes the panel's picks for itself.
    const auto effectsOffered = [this] {
        const QList<QCheckBox *> effects = fonts.fontPanel()->findChildren<QCheckBox *>();
        return !effects.isEmpty() && std::ranges::all_of(effects, [this](QCheckBox *box) { return box->isVisibleTo(fonts.fontPanel()); });
    };
    EXPECT_TRUE(effectsOffered());
    // Another opener takes the panel's picks for itself; one whose font keeps no underline or
    // strike-out is neither offered them nor given them.
    QList<QFont> elsewhere;
    fonts.open(QFont(QStringLiteral("Liberation Mono"), 9), [&elsewhere](const QFont &font) { elsewhere << font; }, false);
    EXPECT_FALSE(effectsOffered());
    QFont underlined(QStringLiteral("Liberation Serif"), 30);
    underlined.setUnderline(true);
    fonts.changeFont(underlined);
    ASSERT_EQ(elsewhere.size(), 1);
    EXPECT_FALSE(elsewhere.first().underline());
    EXPECT_EQ(text.Text_font.family(), QStringLiteral("Liberation Sans"));
    fonts.fontPanel()->close();
}

// The panel opens on the object's font as the desktop draws it, style and size included.
TEST_F(TextPanelTest, TheFontPanelOpensAtTheObjectsFont)
{
    const QFont font = Font_With_Name(QStringLiteral("TimesNewRomanPS-BoldItalicMT"), 18);
    design.selection = {made<SKTText>()};
    design.selection.first()->text_ctrl_font = font;
    show(*design.selection.first());
    text.text_prop_tab->Text_Font_btn->click();
    const QFont shown = fonts.fontPanel()->currentFont();
    EXPECT_EQ(QStringList({shown.family(), QFontDatabase::styleString(shown)}),
              QStringList({QFontInfo(font).family(), QStringLiteral("Bold Italic")}));
    EXPECT_EQ(shown.pointSize(), 18);
    fonts.fontPanel()->close();
}

TEST_F(TextPanelTest, ShowingAnObjectConvertsItsValuesAndEnablesItsGroups)
{
    TextPropertiesTab *p = text.text_prop_tab;
    EXPECT_EQ(editor()->toPlainText(), QStringLiteral("Happy Birthday"));
    EXPECT_EQ(editor()->textCursor().selectedText(), QStringLiteral("Happy Birthday"));
    EXPECT_EQ(p->Text_alpha_Text->text(), QStringLiteral("50 %"));
    EXPECT_EQ(p->shadow_transp_Text->text(), QStringLiteral("25 %"));
    EXPECT_EQ(p->txt_rotation_slidr_val->text(), QStringLiteral("30°"));
    EXPECT_EQ(p->Text_font_value->text(), QStringLiteral("Liberation Serif ( 18.00 )"));
    EXPECT_TRUE(p->Text_gradient_fill_rd->isChecked());
    EXPECT_FALSE(p->Text_fill_clr->isEnabled());
    EXPECT_TRUE(p->Text_fill_Grd_1_clr->isEnabled());

    auto bare = made<SKTText>();
    bare->_isDrawingStroke = false;
    bare->_isDrawingFill = false;
    bare->Drawing_Shadow = false;
    bare->_stroke_border_type = QStringLiteral("??");
    bare->text_alignmnet = 9;
    show(*bare);
    EXPECT_FALSE(p->Text_bor_Stepper->isEnabled());
    EXPECT_FALSE(p->shadow_x_Stepper->isEnabled());
    EXPECT_TRUE(p->Text_solid_fill_rd->isChecked());
    // The fill type has the last word over the box for its own controls.
    EXPECT_TRUE(p->Text_fill_clr->isEnabled());
    EXPECT_FALSE(p->Text_alpha_Stepper->isEnabled());
    EXPECT_EQ(p->Text_border_style->currentIndex(), 1);
    EXPECT_EQ(p->Text_align_combo->currentIndex(), -1);
    EXPECT_EQ(design.refreshes, 0);
}

TEST_F(TextPanelTest, ShowingAndWritingBackLeavesATextAsItWas)
{
    auto plain = made<SKTText>();
    plain->txt_clr = QColor(Qt::black);
    plain->Shadow_transparency = 0.5f;
    plain->alpha_val = 1.0f;
    auto stored = someText(QStringLiteral("Line one\nLine two"));
    stored->print_object = 1;
    for (const SKTGraphicPtr &object : {SKTGraphicPtr(reference), SKTGraphicPtr(plain), SKTGraphicPtr(stored)}) {
        SCOPED_TRACE(storedText(*object).toStdString());
        const QStringList before = archivedFields(*object);
        print.setChecked(object->print_object != 0);
        show(*object);
        design.selection = {object};
        text.Update_Text_Graphics();
        EXPECT_EQ(archivedFields(*object), before);
        EXPECT_EQ(object->hasTextContents(), object != plain);
    }
}

} // namespace
