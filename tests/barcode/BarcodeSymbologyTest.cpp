#include "barcode/BarcodeSymbology.h"

#include <gtest/gtest.h>

TEST(BarcodeSymbology, EverySymbologyRoundTripsThroughTitleAndStoredIndex)
{
    for (int i = 0; i < static_cast<int>(Symbology::Count); ++i) {
        const Barcode_Symbology &row = Barcode_Symbology_Of(static_cast<Symbology>(i));
        EXPECT_EQ(Barcode_Symbology_Named(row.name()), &row) << i;
        EXPECT_EQ(Barcode_Symbology_At(row.storedIndex()), &row) << i;
        EXPECT_EQ(Barcode_Symbology_Titles().value(row.storedIndex()), row.name()) << i;
        // Exactly one maker; a sanitized build cannot compare function addresses at compile time.
        EXPECT_NE(row.linearModel == nullptr, row.symbolPicture == nullptr) << i;
    }
    EXPECT_EQ(Barcode_Symbology_At(-1), nullptr);
    EXPECT_EQ(Barcode_Symbology_At(static_cast<int>(Symbology::Count)), nullptr);
    EXPECT_EQ(Barcode_Symbology_Named(QStringLiteral("Data Matrix")), nullptr);
}
