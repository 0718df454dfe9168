#include "profile/ProfilePlacement.h"

#include "canvas/SKTGrid.h"
#include "core/ImageCategories.h"
#include "datasource/DataSourceType.h"
#include "datasource/Data_From_Excel.h"
#include "document/ControlTags.h"
#include "document/DesignLimits.h"
#include "document/SKTGraphicList.h"
#include "document/SKTImage.h"
#include "document/SKTText.h"
#include "platform/XmlCharacters.h"
#include "profile/User_Profile_Class.h"

#include <vector>

const std::array<Profile_Layout_Entry, 11> &Profile_Layout_Table()
{
    // Landscape within 169 x 113 points, portrait within 113 x 169: the smallest badge presets.
    // The photo heads the card; the contact lines are small enough to be read in the space.
    static const std::array<Profile_Layout_Entry, 11> table{{
        {"Fup_Name", {52, 6, 112, 14}, {6, 58, 101, 14}, 11},
        {"Fup_Title", {52, 20, 112, 10}, {6, 72, 101, 10}, 7},
        {"Fup_Company", {52, 32, 112, 12}, {6, 83, 101, 12}, 9},
        {"Fup_CompanySlogan", {52, 44, 112, 10}, {6, 95, 101, 10}, 7},
        {"Fup_Address", {6, 58, 158, 10}, {6, 106, 101, 10}, 7},
        {"Fup_PhoneNO", {6, 70, 78, 10}, {6, 117, 101, 9}, 7},
        {"Fup_FaxNo", {86, 70, 78, 10}, {6, 126, 101, 9}, 7},
        {"Fup_EmailID", {6, 82, 78, 10}, {6, 135, 101, 9}, 7},
        {"Fup_Website", {86, 82, 78, 10}, {6, 144, 101, 9}, 7},
        {"Fup_UniqueNo", {6, 96, 158, 10}, {6, 154, 101, 9}, 7},
        {"Fup_Photo", {6, 6, 40, 48}, {36, 6, 41, 48}, 0},
    }};
    return table;
}

namespace {

const Profile_Layout_Entry *layoutEntry(const QString &tag)
{
    for (const Profile_Layout_Entry &entry : Profile_Layout_Table())
        if (tag == QLatin1String(entry.tag))
            return &entry;
    return nullptr;
}

} // namespace

QRectF Get_Control_Rect_From_Template(const QString &tag, const QSizeF &frontCardSize)
{
    const Profile_Layout_Entry *entry = layoutEntry(tag);
    if (!entry)
        return QRectF();
    return frontCardSize.width() >= frontCardSize.height() ? entry->landscape : entry->portrait;
}

bool isPlacedProfileObject(const SKTGraphic &graphic)
{
    const SKTGraphic::Kind kind = graphic.kind();
    return (kind == SKTGraphic::Kind::Text || kind == SKTGraphic::Kind::Image) && isProfileObject(graphic);
}

SKTGraphicPtr Selcect_Ctrl_With_ID(const SKTGraphicList &list, const QString &tag)
{
    for (const SKTGraphicPtr &graphic : list.items())
        if (graphic && isPlacedProfileObject(*graphic) && graphic->control_ID == tag)
            return graphic;
    return nullptr;
}

void Hide_all_Text_control_FUP_Control(SKTGraphicList &list)
{
    for (const SKTGraphicPtr &graphic : list.items())
        if (graphic && isPlacedProfileObject(*graphic))
            graphic->Set_Ctrl_Is_Visible(false);
}

namespace {

void bind(SKTGraphic &graphic, const User_Profile_Class &profile, const User_Profile_Field &field)
{
    const DataBinding &chosen = profile.*field.binding;
    DataBinding &bound = graphic.binding;
    if (chosen.data_source_type == DataBinding::Series) {
        setDataSourceType(graphic, DataSourceType::Series);
        bound.batch_list_name = chosen.batch_list_name;
        bound.batch_list_index = chosen.batch_list_index;
        bound.excel_binding = false;
    } else if (chosen.data_source_type == DataBinding::Excel) {
        setDataSourceType(graphic, DataSourceType::Excel);
        bound.excel_binding = true;
        bound.excel_col_indx = chosen.excel_col_indx;
        bound.excel_col_title = chosen.excel_col_title;
        Data_From_Excel::defaultInstance()->findColumn(bound);
    } else {
        setDataSourceType(graphic, DataSourceType::Typed);
    }
}

void showText(SKTGraphic &graphic, const QString &typed)
{
    const QString value = XmlCharacters::replaced(typed);
    graphic.Text_Value = value;
    graphic._isDrawingStroke = false;
    graphic._isDrawingFill = false;
    graphic.Text_contents().string = value;
}

// What a placement may change of an object that was on the side before it.
struct PlacedState {
    bool visible = false;
    QString textValue;
    bool hasContents = false;
    SKTTextStorage contents;
    bool stroke = false;
    bool fill = false;
    DataBinding binding;
    std::optional<SKTImage::ShownPicture> picture;

    static PlacedState of(const SKTGraphic &g)
    {
        PlacedState s{g.ctrl_is_visible, g.Text_Value, g.hasTextContents(), {}, g._isDrawingStroke, g._isDrawingFill,
                      g.binding, {}};
        if (s.hasContents)
            s.contents = *g.m_Text_contents;
        if (g.kind() == SKTGraphic::Kind::Image)
            s.picture = static_cast<const SKTImage &>(g).shownPicture();
        return s;
    }

    void applyTo(SKTGraphic &g) const
    {
        g.ctrl_is_visible = visible;
        g.Text_Value = textValue;
        g.m_Text_contents = hasContents ? std::make_unique<SKTTextStorage>(contents) : nullptr;
        g._isDrawingStroke = stroke;
        g._isDrawingFill = fill;
        // The sheet may have been taken again since: the column is found by its title.
        g.binding = binding;
        Data_From_Excel::defaultInstance()->findColumn(g.binding);
        if (picture && g.kind() == SKTGraphic::Kind::Image)
            static_cast<SKTImage &>(g).showPicture(*picture);
    }

    bool operator==(const PlacedState &o) const
    {
        // A placement writes only a storage's characters.
        return visible == o.visible && textValue == o.textValue && hasContents == o.hasContents &&
               contents.string == o.contents.string && stroke == o.stroke && fill == o.fill &&
               binding == o.binding && picture == o.picture;
    }
};
using PlacedStates = std::vector<std::pair<SKTGraphicPtr, PlacedState>>;

// Gives the objects their states back, as one undo action whose own undo is the states they had.
void restore(platform::UndoManager &undo, const void *side, const PlacedStates &states)
{
    PlacedStates current;
    for (const auto &[graphic, state] : states) {
        current.emplace_back(graphic, PlacedState::of(*graphic));
        state.applyTo(*graphic);
    }
    undo.registerUndo(side, [&undo, side, current] { restore(undo, side, current); });
}

QRectF snapped(const QRectF &rect, const SKTGrid *grid)
{
    if (!grid)
        return rect;
    const QPointF origin = grid->constrainedPoint(rect.topLeft());
    return QRectF(origin, grid->constrainedPoint(rect.bottomRight()));
}

} // namespace

Profile_Fill_Result Fill_User_Profile_Side(const User_Profile_Class &profile, Profile_Side_Target &target)
{
    Profile_Fill_Result result;
    // Each field with a value and the object that shows it: the one carrying its tag, else a new one.
    // All are found first, so that a profile refused for want of room leaves the side as it was.
    struct Placed {
        const User_Profile_Field *field;
        SKTGraphicPtr graphic;
    };
    std::vector<Placed> placed;
    GraphicList made; // new objects, the last made first: each goes on top of the ones before
    for (const User_Profile_Field &field : User_Profile_Fields()) {
        const QString &value = profile.*field.value;
        if (value.isEmpty())
            continue;
        const QString &tag = profile.*field.id;
        SKTGraphicPtr graphic = Selcect_Ctrl_With_ID(target.list, tag);
        if (!graphic) {
            const QRectF rect = snapped(Get_Control_Rect_From_Template(tag, target.frontCardSize), target.grid);
            if (rect.width() == 0 && rect.height() == 0)
                continue; // no place for it: such an object would be lost on the canvas
            if (field.isPhoto) {
                graphic = std::make_shared<SKTImage>();
            } else {
                graphic = std::make_shared<SKTText>();
                graphic->text_ctrl_font.setPointSizeF(layoutEntry(tag)->pointSize);
            }
            graphic->control_ID = tag;
            graphic->setBounds(rect);
            made.prepend(graphic);
        }
        placed.push_back({&field, graphic});
    }
    if (made.size() > target.room) {
        result.refusal = DesignFile::tooManyObjectsReason(made.size(), DesignFile::kMaxDesignObjects - target.room);
        return result;
    }

    // Every object the placement may change is one it hides first.
    PlacedStates before;
    for (const SKTGraphicPtr &graphic : target.list.items())
        if (graphic && isPlacedProfileObject(*graphic))
            before.emplace_back(graphic, PlacedState::of(*graphic));

    Hide_all_Text_control_FUP_Control(target.list);
    for (const Placed &entry : placed) {
        const User_Profile_Field &field = *entry.field;
        const QString &value = profile.*field.value;
        SKTGraphic *graphic = entry.graphic.get();
        if (field.isPhoto) {
            if (graphic->kind() != SKTGraphic::Kind::Image)
                continue;
            auto &image = static_cast<SKTImage &>(*graphic);
            QString reason;
            const QImage picture = loadPicture(value, nullptr, &reason);
            image.setPicture(value, picture.isNull() ? target.noImage : picture);
            if (!reason.isEmpty())
                result.photoProblem = QStringLiteral("The photo \"%1\" cannot be shown: %2.").arg(value, reason);
        } else {
            showText(*graphic, value);
        }
        graphic->Set_Ctrl_Is_Visible(true);
        bind(*graphic, profile, field);
        result.lastPlaced = entry.graphic;
    }
    PlacedStates changed;
    for (const auto &[graphic, state] : before)
        if (!(PlacedState::of(*graphic) == state))
            changed.emplace_back(graphic, state);
    // One step for all of it: new objects, and the objects they came beside as they were.
    platform::UndoManager *undo = !changed.empty() || !made.isEmpty() ? target.undo : nullptr;
    if (undo) {
        undo->beginUndoGrouping();
        const void *side = &target.list;
        if (!changed.empty())
            undo->registerUndo(side, [undo, side, changed] { restore(*undo, side, changed); });
    }
    if (!made.isEmpty()) {
        const platform::IndexSet indexes = platform::IndexSet::range(0, int(made.size()));
        if (target.insert)
            target.insert(made, indexes);
        else
            target.list.insertGraphics(made, indexes);
    }
    if (undo)
        undo->endUndoGrouping();
    result.created = int(made.size());
    return result;
}
