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
        EXPECT_TRUE((p.*f.ds_name).isEmpty() && !(p.*f.ds_name).isNull());
        EXPECT_TRUE((p.*f.label).isNull());
        EXPECT_FALSE(p.*f.ds || p.*f.xl);
        EXPECT_EQ(p.*f.ds_indx, 0);
        EXPECT_EQ(p.*f.xl_col_indx, 0);
    }
}

} // namespace

TEST(UserProfile, FreshRecordHoldsNoStringsUntilReset)
{
    User_Profile_Class p;
    for (const User_Profile_Field &f : fields) {
        EXPECT_TRUE((p.*f.id).isNull() && (p.*f.label_id).isNull() && (p.*f.value).isNull() &&
                    (p.*f.ds_name).isNull())
            << f.stem;
        EXPECT_FALSE(p.*f.ds || p.*f.xl || p.*f.ds_indx || p.*f.xl_col_indx) << f.stem;
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
        p.*f.ds = p.*f.xl = true;
        p.*f.ds_indx = n;
        p.*f.xl_col_indx = ++n;
        p.*f.id = p.*f.label_id = p.*f.value = p.*f.ds_name = QStringLiteral("written");
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
    const void *previous[9] = {};
    for (size_t i = 0; i < fields.size(); ++i) {
        const User_Profile_Field &f = fields[i];
        EXPECT_EQ(QString::fromLatin1(f.stem), stems.at(int(i)));
        EXPECT_EQ(f.isPhoto, i == 10);
        const void *parts[9] = {&(p.*f.ds), &(p.*f.ds_indx),  &(p.*f.xl),    &(p.*f.xl_col_indx), &(p.*f.id),
                                &(p.*f.label_id), &(p.*f.label), &(p.*f.value), &(p.*f.ds_name)};
        for (int k = 0; k < 9; ++k) {
            EXPECT_TRUE(seen.insert(parts[k]).second) << f.stem << " part " << k;
            EXPECT_TRUE(i == 0 || previous[k] < parts[k]) << f.stem << " part " << k;
            previous[k] = parts[k];
        }
    }
    EXPECT_EQ(&(p.*fields[10].ds_name), &p.image_ds_name);
}
