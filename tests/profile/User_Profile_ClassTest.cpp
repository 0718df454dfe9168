#include "profile/User_Profile_Class.h"

#include <gtest/gtest.h>

#include <set>

namespace {

const auto &fields = User_Profile_Fields();

void expectDefaults(const User_Profile_Class &p)
{
    EXPECT_FALSE(p.Fill_User_Profile_Enable || p.Excel_Binding);
    for (const User_Profile_Field &f : fields) {
        SCOPED_TRACE(f.stem);
        EXPECT_EQ(p.*f.id, QString::fromLatin1(f.objectTag));
        EXPECT_EQ(p.*f.label_id, QString::fromLatin1(f.captionTag));
        EXPECT_TRUE((p.*f.value).isEmpty() && !(p.*f.value).isNull());
        const DataBinding &b = p.*f.binding;
        EXPECT_TRUE(b.batch_list_name.isEmpty() && !b.batch_list_name.isNull());
        EXPECT_TRUE(b.excel_col_title.isEmpty() && !b.excel_col_title.isNull());
        EXPECT_TRUE((p.*f.label).isNull());
        EXPECT_EQ(b.data_source_type, DataBinding::Typed);
        EXPECT_EQ(b.batch_list_index, 0);
        EXPECT_EQ(b.excel_col_indx, 0);
    }
}

} // namespace

TEST(UserProfile, FreshRecordHoldsNoStringsUntilReset)
{
    User_Profile_Class p;
    for (const User_Profile_Field &f : fields) {
        EXPECT_TRUE((p.*f.id).isNull() && (p.*f.label_id).isNull() && (p.*f.value).isNull() &&
                    (p.*f.binding).batch_list_name.isNull())
            << f.stem;
        EXPECT_EQ(p.*f.binding, DataBinding()) << f.stem;
    }
    p.Reset_All_Values();
    expectDefaults(p);
    EXPECT_EQ(p.Company_name_id, "Fup_Company");
    EXPECT_EQ(p.slogan_label_id, "Fup_lbl_CompanySlogan");
    EXPECT_EQ(p.image_id, "Fup_Photo");
}

TEST(UserProfile, ResetAfterADialogBringsBackExactlyTheDefaults)
{
    User_Profile_Class p;
    p.Reset_All_Values();
    p.Fill_User_Profile_Enable = p.Excel_Binding = true;
    int n = 1;
    for (const User_Profile_Field &f : fields) {
        p.*f.binding = {DataBinding::Excel, QStringLiteral("written"), n, true, n + 1, QStringLiteral("written")};
        ++n;
        p.*f.id = p.*f.label_id = p.*f.value = QStringLiteral("written");
    }
    p.Reset_All_Values();
    expectDefaults(p);

    p.Title_label = QStringLiteral("kept"); // caption texts are not the reset's business
    p.Reset_All_Values();
    EXPECT_EQ(p.Title_label, "kept");
}

TEST(UserProfile, FieldTableWalksEachMemberOnceInDeclaredOrder)
{
    const QStringList stems{"Name", "Title", "Company_name", "slogan", "address", "phone",
                            "fax",  "email", "website",      "unique", "image"};
    User_Profile_Class p;
    std::set<const void *> seen;
    const void *previous[5] = {};
    for (size_t i = 0; i < fields.size(); ++i) {
        const User_Profile_Field &f = fields[i];
        EXPECT_EQ(QString::fromLatin1(f.stem), stems.at(int(i)));
        EXPECT_EQ(f.isPhoto, i == 10);
        const void *parts[5] = {&(p.*f.binding), &(p.*f.id), &(p.*f.label_id), &(p.*f.label), &(p.*f.value)};
        for (int k = 0; k < 5; ++k) {
            EXPECT_TRUE(seen.insert(parts[k]).second) << f.stem << " part " << k;
            EXPECT_TRUE(i == 0 || previous[k] < parts[k]) << f.stem << " part " << k;
            previous[k] = parts[k];
        }
    }
    EXPECT_EQ(&(p.*fields[10].binding), &p.image_binding);
}
