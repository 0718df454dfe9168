#include "DesignWindowFixture.h"

#include "document/SKTBarcode.h"
#include "window/WindowState.h"

#include <QFontDatabase>
#include <QFontInfo>

namespace {

// A font as the font dialogs give it, and the face it draws with.
QFont dialogFont(const char *family, const char *face, int size = 12)
{
    return QFontDatabase::font(QLatin1String(family), QLatin1String(face), size);
}

QString described(const QFont &font)
{
    const QFontInfo drawn(font);
    return font.toString() + QStringLiteral(" drawn as ") + drawn.family() + QLatin1Char(' ') + drawn.styleName();
}

enum Road { SaveAndOpen = 1, Template = 2, CopyAndPaste = 4, AllRoads = 7 };

// One field of a design: how it is set, and what it holds. A field of an object has an object of
// its own, of the kind given, at its row's place in the front list on every road.
struct Field {
    const char *name;
    int roads;
    const char *objectClass; // none for the design's own fields
    std::function<void(SKTWindowController &, SKTGraphic *)> set;
    std::function<QString(SKTWindowController &, SKTGraphic *)> held;
};

Field textFont(const char *name, const QFont &font)
{
    return {name, AllRoads, "SKTText", [font](auto &, SKTGraphic *text) { text->text_ctrl_font = font; },
            [](auto &, SKTGraphic *text) { return described(text->text_ctrl_font); }};
}

Field barcodeFont(const char *name, QFont SKTGraphic::*field, const QFont &font)
{
    return {name, AllRoads, "SKTBarcode", [field, font](auto &, SKTGraphic *code) { code->*field = font; },
            [field](auto &, SKTGraphic *code) { return described(code->*field); }};
}

Field effect(const char *name, float WindowState::*value, float set)
{
    return {name, SaveAndOpen | Template, nullptr, [value, set](auto &, auto *) { Win().*value = set; },
            [value](auto &, auto *) { return QString::number(Win().*value, 'g', 9); }};
}

} // namespace

TEST_F(DesignWindowTest, WhatADesignHoldsComesBackWholeOnEveryRoad)
{
    load();
    QFont underlined = dialogFont("Liberation Serif", "Regular", 14);
    underlined.setUnderline(true);
    QFont struck = dialogFont("Lato", "Bold Italic");
    struck.setStrikeOut(true);
    const std::vector<Field> fields{
        effect("photo saturation", &WindowState::IMG_sat_val, 0.55f),
        effect("photo contrast", &WindowState::IMG_con_val, 1.8f),
        effect("photo brightness", &WindowState::IMG_brt_val, 0.35f),
        effect("photo blur", &WindowState::IMG_blr_val, 4.5f),
        textFont("a light weight", dialogFont("Lato", "Light")),
        textFont("a semibold italic", dialogFont("Lato", "Semibold Italic", 15)),
        textFont("a black weight", dialogFont("Lato", "Black")),
        textFont("a condensed face", dialogFont("DejaVu Sans", "Condensed Bold")),
        textFont("a family written as two words", dialogFont("DejaVu Sans", "Book")),
        textFont("a family this machine lacks", QFont(QStringLiteral("Nimbus Mono PS"), 12)),
        textFont("underline", underlined),
        textFont("strike-out", struck),
        barcodeFont("barcode header face", &SKTGraphic::header_font_val, dialogFont("Lato", "Heavy", 9)),
        barcodeFont("barcode value face", &SKTGraphic::value_font_val, dialogFont("DejaVu Sans", "ExtraLight", 8)),
        {"card-wide font", SaveAndOpen | Template, nullptr,
         [](SKTWindowController &w, auto *) { w.Front_card_Prop.setCard_Content_font(dialogFont("Lato", "Medium Italic", 16)); },
         [](SKTWindowController &w, auto *) { return described(w.Front_card_Prop.Card_Content_font()); }},
    };
    const QString saved = resourcePath(QStringLiteral("fields.zkse"));
    for (const Road road : {SaveAndOpen, Template, CopyAndPaste}) {
        window->New_Project_Setting_Reset();
        window->Front_card_Prop.setCard_Size(QSizeF(243, 154));
        GraphicList objects;
        for (const Field &field : fields) {
            if (field.objectClass) {
                objects << SKTGraphic::graphicWithClassName(QLatin1String(field.objectClass));
                objects.last()->setBounds(QRectF(10, 10 + 5 * objects.size(), 120, 30));
            }
        }
        document->insertGraphics(objects, platform::IndexSet::range(0, int(objects.size())));
        const auto each = [&](const std::function<void(const Field &, SKTGraphic *)> &visit) {
            int object = 0;
            for (const Field &field : fields)
                visit(field, field.objectClass ? document->graphics().at(object++).get() : nullptr);
        };
        QStringList set;
        each([&](const Field &field, SKTGraphic *object) {
            field.set(*window, object);
            set << field.held(*window, object);
        });
        if (road == SaveAndOpen) {
            App().Project_File_Name = saved;
            ASSERT_TRUE(window->Save_project_file(false, false));
            ASSERT_EQ(window->Read_and_load_design_Log(saved, QStringLiteral("L")), 1);
        } else if (road == Template) {
            ASSERT_TRUE(window->Write_Template(QStringLiteral("Fields")));
            window->New_Project_Setting_Reset();
            ASSERT_EQ(window->Read_and_load_design_Log(resourcePath(QStringLiteral("Templates/User/Fields.zkse")), "T"), 1);
        } else {
            window->_graphicView->selectAll();
            window->Copy_Clicked();
            document->Clear_All_Undo_Redo();
            window->Paste_Clicked();
        }
        ASSERT_EQ(document->graphics().count(), objects.size()) << road;
        each([&, row = 0](const Field &field, SKTGraphic *object) mutable {
            if (field.roads & road) {
                EXPECT_EQ(field.held(*window, object).toStdString(), set.at(row).toStdString()) << field.name << ", road " << road;
            }
            ++row;
        });
    }
    // What was opened saves as it was read.
    QFile first(saved);
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    ASSERT_EQ(window->Read_and_load_design_Log(saved, QStringLiteral("L")), 1);
    App().Project_File_Name = resourcePath(QStringLiteral("again.zkse"));
    ASSERT_TRUE(window->Save_project_file(false, false));
    QFile again(App().Project_File_Name);
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_TRUE(first.readAll() == again.readAll());
}
