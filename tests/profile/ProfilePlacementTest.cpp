#include "core/AppState.h"
#include "datasource/Data_From_Excel.h"
#include "datasource/RecordBinding.h"
#include "document/DesignSnapshot.h"
#include "document/SKTDocument.h"
#include "document/SKTGraphicList.h"
#include "document/SKTImage.h"
#include "document/SKTText.h"
#include "document/Shape_Control.h"
#include "fixtures/HangGuard.h"
#include "fixtures/TestSupport.h"
#include "profile/ProfilePlacement.h"
#include "profile/User_Profile_Class.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <sys/stat.h>


// A profile becomes tagged objects; a bound run then draws each record's value where the profile
// placed it. The oracle for a record is the same profile typed with that record's value.

namespace {

const auto &fields = User_Profile_Fields();
enum Source { Typed, Series, Excel };

QString picture(const QString &folder, const QString &name, const QColor &colour)
{
    QImage image(12, 9, QImage::Format_RGB32);
    image.fill(colour);
    const QString path = QDir(folder).filePath(name);
    image.save(path, "PNG");
    return path;
}

QImage drawn(const GraphicList &side, const RecordBinding *binding = nullptr, int record = 0)
{
    DesignSnapshot snapshot;
    snapshot.frame = QRectF(0, 0, 243, 154);
    snapshot.front.graphics = side;
    const RecordBinding none;
    return (binding ? *binding : none).Set_data_table_value_to_card(snapshot, record, "F", false).toImage();
}

User_Profile_Class profileWith(const User_Profile_Field &field, const QString &value, Source source)
{
    User_Profile_Class profile;
    profile.Reset_All_Values();
    profile.*field.value = value;
    DataBinding &b = profile.*field.binding;
    b.data_source_type = source == Series ? DataBinding::Series : source == Excel ? DataBinding::Excel : DataBinding::Typed;
    b.batch_list_name = source == Series ? QStringLiteral("Values") : QString();
    b.batch_list_index = source == Series ? 3 : 0;
    b.excel_col_indx = source == Excel ? 2 : 0;
    return profile;
}

} // namespace

TEST(ProfilePlacement, EveryFieldFromEverySourceIsPlacedOnceAndDrawsEachRecordsValue)
{
    AppFixture app;
    QDir().mkpath(App().Data_Folder_Path);
    const QStringList photos{picture(app.resourcePath(), "a.png", Qt::red), picture(app.resourcePath(), "b.png", Qt::blue)};
    for (const User_Profile_Field &field : fields) {
        const QStringList values = field.isPhoto ? photos : QStringList{"Ann Lee", "Bo Chan"};
        QFile series(QDir(App().Data_Folder_Path).filePath("Values.txt"));
        ASSERT_TRUE(series.open(QIODevice::WriteOnly) && series.write((values.join('\n') + '\n').toUtf8()) > 0);
        series.close();
        QList<QVariantMap> rows;
        for (int row = 0; row < 2; ++row)
            rows.append({{"Extension", QString::number(row + 1)}, {"Column2", values.at(row)}});
        for (const Source source : {Typed, Series, Excel}) {
            SCOPED_TRACE(QStringLiteral("%1 from source %2").arg(field.stem).arg(source).toStdString());
            SKTGraphicList side;
            Profile_Side_Target target(side, QSizeF(243, 154));
            const User_Profile_Class profile = profileWith(field, values.first(), source);
            const Profile_Fill_Result first = Fill_User_Profile_Side(profile, target);
            ASSERT_TRUE(first.created == 1 && first.photoProblem.isEmpty());
            const SKTGraphicPtr placed = side.at(0);
            EXPECT_TRUE(placed->control_ID == QLatin1String(field.objectTag) && placed->binding.data_source_type == int(source));
            EXPECT_EQ(placed->kind(), field.isPhoto ? SKTGraphic::Kind::Image : SKTGraphic::Kind::Text);
            EXPECT_EQ(placed->bounds(), Get_Control_Rect_From_Template(placed->control_ID, QSizeF(243, 154)));
            EXPECT_TRUE(Fill_User_Profile_Side(profile, target).created == 0 && side.count() == 1);

            const RecordBinding binding = RecordBinding::load(side.items(), {}, rows);
            for (int record = 0; record < 2; ++record) {
                SKTGraphicList typed;
                Profile_Side_Target oracle(typed, QSizeF(243, 154));
                const QString expected = source == Typed ? values.first() : values.at(record);
                Fill_User_Profile_Side(profileWith(field, expected, Typed), oracle);
                const QImage card = drawn(side.items(), &binding, record);
                EXPECT_FALSE(card.isNull());
                EXPECT_EQ(card, drawn(typed.items())) << "record " << record;
            }
        }
    }
}

TEST(ProfilePlacement, RefillingUpdatesTaggedObjectsInPlaceAndHidesEmptiedOnes)
{
    AppFixture app;
    SKTGraphicList side;
    auto stranger = std::make_shared<Shape_Control>(); // a tag on another kind is no profile object
    stranger->control_ID = QStringLiteral("Fup_Name");
    side.insertGraphics(GraphicList{stranger}, {0});
    Profile_Side_Target target(side, QSizeF(113, 169));
    User_Profile_Class profile;
    profile.Reset_All_Values();
    profile.Name = QStringLiteral("  Ann  ");
    profile.email = QStringLiteral("ann@example.org");
    EXPECT_EQ(Fill_User_Profile_Side(profile, target).created, 2);
    const SKTGraphicPtr name = Selcect_Ctrl_With_ID(side, "Fup_Name");
    ASSERT_TRUE(name && name != stranger);
    EXPECT_EQ(name->Text_contents().string, "  Ann  ");
    EXPECT_EQ(name->bounds(), Profile_Layout_Table()[0].portrait);
    name->setBounds(QRectF(1, 2, 30, 40));

    profile.Name = QStringLiteral("Bo");
    profile.email.clear();
    EXPECT_EQ(Fill_User_Profile_Side(profile, target).created, 0);
    EXPECT_TRUE(side.count() == 3 && name->ctrl_is_visible && name->bounds() == QRectF(1, 2, 30, 40));
    EXPECT_EQ(name->Text_contents().string, "Bo");
    EXPECT_FALSE(Selcect_Ctrl_With_ID(side, "Fup_EmailID")->ctrl_is_visible);
    EXPECT_TRUE(stranger->ctrl_is_visible);
}

TEST(ProfilePlacement, APhotoThatCannotBeReadShowsTheNoImagePictureAndSaysWhy)
{
    AppFixture app;
    const QString folder = app.resourcePath();
    const QString fifo = folder + "fifo.png", huge = folder + "huge.ppm", text = folder + "text.png";
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const auto &[path, bytes] : {std::pair{huge, "P6\n30000 30000\n255\n"}, {text, "not a picture"}}) {
        QFile file(path); // the header promises 30000 x 30000 pixels
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) > 0);
    }
    QImage noImage(4, 4, QImage::Format_RGB32);
    noImage.fill(Qt::green);
    const QString good = picture(folder, "good.png", Qt::red);

    for (const QString &path : {folder + "missing.png", folder, fifo, QStringLiteral("/dev/zero"), huge, text}) {
        SCOPED_TRACE(path.toStdString());
        SKTGraphicList side;
        Profile_Side_Target target(side, QSizeF(243, 154), noImage);
        User_Profile_Class profile;
        profile.Reset_All_Values();
        for (const QString &photo : {path, good, path}) { // new, then an existing object
            profile.image = photo;
            Profile_Fill_Result result;
            {
                const HangGuard guard(500);
                result = Fill_User_Profile_Side(profile, target);
            }
            auto &placed = static_cast<SKTImage &>(*side.at(0));
            EXPECT_TRUE(side.count() == 1 && placed.ctrl_is_visible);
            EXPECT_EQ(result.photoProblem.contains(path), photo == path) << result.photoProblem.toStdString();
            EXPECT_EQ(placed._contents == noImage, photo == path);
        }
    }
}

// Each placement on the front is one undo step that gives back all it did: the objects it made, and
// what it hid, wrote, bound and showed of those already there; redo gives it all again.
TEST(ProfilePlacement, EachPlacementIsOneUndoStepOfAllItChanged)
{
    AppFixture app;
    SKTDocument document;
    Profile_Side_Target target(document.graphics(), QSizeF(243, 154));
    target.insert = [&](const GraphicList &graphics, const platform::IndexSet &at) { document.insertGraphics(graphics, at); };
    target.undo = &document.undoManager();
    const auto state = [&] {
        QStringList fields;
        for (const SKTGraphicPtr &g : document.graphics().items()) {
            fields << fieldsOf([&](platform::KeyedEncoder &coder) { g->encodeWithCoder(coder); });
            if (g->kind() == SKTGraphic::Kind::Image)
                fields << QString::number(static_cast<SKTImage &>(*g)._contents.pixel(0, 0), 16);
        }
        return fields;
    };
    User_Profile_Class first, second;
    first.Reset_All_Values();
    first.Name = "Ann";
    first.website = "ann.example.org";
    first.image = picture(app.resourcePath(), "red.png", Qt::red);
    second = first;
    second.Name = "Bo";
    second.Name_binding.data_source_type = DataBinding::Series;
    second.Name_binding.batch_list_name = "Guests";
    second.Name_binding.batch_list_index = 2;
    second.website.clear();
    second.email = "bo@example.org";
    second.image = picture(app.resourcePath(), "blue.png", Qt::blue);

    QList<QStringList> states{state()};
    for (const User_Profile_Class *profile : {&first, &second}) {
        Fill_User_Profile_Side(*profile, target);
        states << state();
    }
    ASSERT_TRUE(states[0] != states[1] && states[1] != states[2]);
    platform::UndoManager &undo = document.undoManager();
    for (const int expected : {1, 0}) {
        undo.undo();
        EXPECT_EQ(state(), states[expected]) << "undone to " << expected;
    }
    for (const int expected : {1, 2}) {
        undo.redo();
        EXPECT_EQ(state(), states[expected]) << "redone to " << expected;
    }
    // Placing the same again changes nothing, and leaves no step.
    Fill_User_Profile_Side(second, target);
    undo.undo();
    EXPECT_EQ(state(), states[1]);
}
