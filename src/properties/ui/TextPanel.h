#pragma once

#include <QFont>
#include <QObject>

class DataSourceTab;
class FontPanel;
class PanelDesign;
class QCheckBox;
class SKTGraphic;
class TextEditTab;
class TextPropertiesTab;
struct TextPanelValues;

// The text panel: the text-editing and text-properties tabs, which edit text objects. Every change
// is written into all selected objects of the current side; the text itself only into an object
// selected alone. Its actions take the sending control.
class TextPanel : public QObject {
    Q_OBJECT
public:
    // `print_object_chk` is the panel's print box; `source` the data-source tab, which the text
    // fill sets and which decides whether the text may be typed; `fonts` the shared font panel.
    TextPanel(PanelDesign &design, QCheckBox *print_object_chk, DataSourceTab &source, FontPanel &fonts,
              QObject *parent = nullptr);
    ~TextPanel() override;

    TextEditTab *text_edtng_tab;
    TextPropertiesTab *text_prop_tab;
    // The font of every text write-back, until the font panel or another text's fill changes it.
    QFont Text_font;

    void Update_Text_Graphics();
    // The tabs show `graphic`; only while the panel's filling guard is set, so nothing is written.
    // The data-source choice it makes runs as a user's would (see DataSourceTab).
    void fill(SKTGraphic &graphic);

    // Actions of the controls.
    void Set_TextControl_Clr(QObject *sender);
    void Set_Shadow_Clr(QObject *sender);
    void Text_Border_ChkBox(QObject *sender);
    void Text_Fill_Chk_Box(QObject *sender);
    void Draw_Shadow_ChkBox(QObject *sender);
    void Text_Border_Changed(QObject *sender);
    void Text_Gradient_Changed(QObject *sender);
    void Text_Alpha_Changed(QObject *sender);
    void Text_Kerning_Changed(QObject *sender);
    void Shadow_X_Changed(QObject *sender);
    void Shadow_Y_Changed(QObject *sender);
    void Shadow_Blur_Changed(QObject *sender);
    void Shadow_Transp_Changed(QObject *sender);
    void Txt_Rotate_Slider_Changed(QObject *sender);
    void Text_Solid_RD_Sel(QObject *sender);
    void Text_Gradient_RD_Sel(QObject *sender);
    // Opens the font panel on the tab's font for the texts, and writes that font at once.
    void Text_Font_Changed(QObject *sender);
    // The font panel's pick.
    void changeTextFont(const QFont &font);
    void Text_Insert_Date(QObject *sender);
    void Text_Insert_Time(QObject *sender);
    // The user changed the text: placeholders out, the length limited, then written back.
    void textDidChange();
    void Insert_Template_Button(QObject *sender);

private:
    void connectActions();
    TextPanelValues values() const;
    // Radios and the fill controls of a fill type, which win over the fill box's enabling.
    void showFillType(bool gradient);
    void showFont();
    void insertAtCursor(const QString &pattern, const QString &message, QString (*value)(const QString &));

    PanelDesign &m_design;
    QCheckBox *m_print;
    DataSourceTab &m_source;
    FontPanel &m_fonts;
};
