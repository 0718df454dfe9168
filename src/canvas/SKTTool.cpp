#include "canvas/SKTTool.h"

#include <array>

namespace {

using Kind = SKTGraphic::Kind;
const QSizeF kShapeSize(50, 50);

constexpr int kPaletteSize = SKTTool::Count;
const std::array<SKTTool, kPaletteSize> kPalette{{
    {SKTTool::Arrow, "Arrow_Tool_btn", "Select", std::nullopt, "", QSizeF()},
    {SKTTool::Line, "Line_Tool_btn", "Line", Kind::Line, "", kShapeSize},
    {SKTTool::Text, "Text_Tool_btn", "Text", Kind::Text, "", kShapeSize},
    {SKTTool::Rectangle, "Rect_Tool_btn", "Rectangle", Kind::Shape, "R", kShapeSize},
    {SKTTool::Oval, "Circle_Tool_btn", "Oval", Kind::Shape, "C", kShapeSize},
    {SKTTool::RoundedRectangle, "Round_Rect_Tool_btn", "Rounded Rectangle", Kind::Shape, "RR", kShapeSize},
    {SKTTool::Triangle, "Triangle_Tool_btn", "Triangle", Kind::Shape, "T", kShapeSize},
    {SKTTool::Diamond, "Diamond_Tool_btn", "Diamond", Kind::Shape, "D", kShapeSize},
    {SKTTool::Star, "Star_Tool_btn", "Star", Kind::Shape, "S", kShapeSize},
    {SKTTool::ManyPointStar, "Double_Star_Tool_btn", "Many-Point Star", Kind::Shape, "DS", kShapeSize},
    {SKTTool::Polygon, "Polygon_Tool_btn", "Polygon", Kind::Shape, "P", kShapeSize},
    {SKTTool::PictureFromFile, "Image_Tool_btn", "Picture from a File", Kind::Image, "", kShapeSize},
    {SKTTool::PictureFromLibrary, "Image_Library_Tool_btn", "Picture from the Library", Kind::Image, "", kShapeSize},
    {SKTTool::Barcode, "Barcode_Tool_btn", "Barcode", Kind::Barcode, "", QSizeF(120, 60)},
    {SKTTool::Signature, "Signature_Tool_btn", "Signature", Kind::Signature, "", QSizeF(100, 50)},
    {SKTTool::Fingerprint, "Fingure_Print_Tool_btn", "Fingerprint", Kind::Signature, "", QSizeF(100, 50)},
}};

} // namespace

std::span<const SKTTool> SKTTool::palette()
{
    return kPalette;
}

const SKTTool *SKTTool::withNumber(int number)
{
    for (const SKTTool &tool : kPalette)
        if (tool.number == number)
            return &tool;
    return nullptr;
}

std::optional<SKTGraphic::Kind> SKTTool::kindForNumber(int number)
{
    const SKTTool *tool = withNumber(number);
    return tool ? tool->kind : std::nullopt;
}
