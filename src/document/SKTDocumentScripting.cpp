// The document as scripts see it: element lists of the front list, insertion and removal by
// element index, and the evaluation of range and relative specifiers.

#include "document/SKTDocument.h"

#include "document/SKTGraphicKinds.h"

#include <QCoreApplication>

namespace {

// Keys the specifiers may name; the first three name the whole front list.
bool isListKey(const QString &key)
{
    return key == QLatin1String("graphics") || key == QLatin1String("graphics_back") ||
           key == QLatin1String("graphics_temp");
}

bool isSpecifierKey(const QString &key)
{
    return isListKey(key) || key == QLatin1String("rectangles") || key == QLatin1String("circles") ||
           key == QLatin1String("lines") || key == QLatin1String("textAreas") || key == QLatin1String("images");
}

SKTScriptingError rangeError(const char *kindName)
{
    return {SKTScriptingError::Kind::Range, 0,
            QCoreApplication::translate("SKTDocument", "Could not find the given %1 in the graphics.")
                .arg(QCoreApplication::translate("SKTDocument", kindName))};
}

} // namespace

std::optional<GraphicList> SKTDocument::elementsForKey(const QString &key) const
{
    if (isListKey(key))
        return _graphics.items();
    if (key == QLatin1String("rectangles") || key == QLatin1String("circles") || key == QLatin1String("rectangles_round"))
        return rectangles();
    if (key == QLatin1String("lines"))
        return lines();
    if (key == QLatin1String("textAreas"))
        return textAreas();
    if (key == QLatin1String("images"))
        return images();
    return std::nullopt;
}

GraphicList SKTDocument::graphicsWithClass(SKTGraphic::Kind kind) const
{
    GraphicList graphics;
    for (const SKTGraphicPtr &graphic : _graphics.items())
        if (kind == SKTGraphic::Kind::Graphic || graphic->kind() == kind)
            graphics << graphic;
    return graphics;
}

std::optional<SKTScriptingError> SKTDocument::insertElement(const GraphicList &elements, const char *kindName,
                                                            const SKTGraphicPtr &graphic, int index)
{
    if (!graphic || index < 0 || index > elements.size())
        return rangeError(kindName);
    if (index == elements.size()) {
        addInGraphics(graphic);
        return std::nullopt;
    }
    const int front = _graphics.indexOf(elements.at(index).get());
    if (front < 0)
        return rangeError(kindName);
    insertGraphic(graphic, front);
    return std::nullopt;
}

std::optional<SKTScriptingError> SKTDocument::removeElement(const GraphicList &elements, const char *kindName, int index)
{
    const int front = index >= 0 && index < elements.size() ? _graphics.indexOf(elements.at(index).get()) : -1;
    if (front < 0)
        return rangeError(kindName);
    removeGraphicAtIndex(front);
    return std::nullopt;
}

std::optional<SKTScriptingError> SKTDocument::insertObject_inRectanglesAtIndex(const SKTGraphicPtr &graphic, int index)
{
    return insertElement(rectangles(), QT_TRANSLATE_NOOP("SKTDocument", "rectangle"), graphic, index);
}

std::optional<SKTScriptingError> SKTDocument::insertObject_inCirclesAtIndex(const SKTGraphicPtr &graphic, int index)
{
    return insertElement(circles(), QT_TRANSLATE_NOOP("SKTDocument", "circle"), graphic, index);
}

std::optional<SKTScriptingError> SKTDocument::insertObject_inLinesAtIndex(const SKTGraphicPtr &graphic, int index)
{
    return insertElement(lines(), QT_TRANSLATE_NOOP("SKTDocument", "line"), graphic, index);
}

std::optional<SKTScriptingError> SKTDocument::insertObject_inTextAreasAtIndex(const SKTGraphicPtr &graphic, int index)
{
    return insertElement(textAreas(), QT_TRANSLATE_NOOP("SKTDocument", "text area"), graphic, index);
}

std::optional<SKTScriptingError> SKTDocument::insertObject_inImagesAtIndex(const SKTGraphicPtr &graphic, int index)
{
    return insertElement(images(), QT_TRANSLATE_NOOP("SKTDocument", "image"), graphic, index);
}

std::optional<SKTScriptingError> SKTDocument::removeObjectFromRectanglesAtIndex(int index)
{
    return removeElement(rectangles(), QT_TRANSLATE_NOOP("SKTDocument", "rectangle"), index);
}

std::optional<SKTScriptingError> SKTDocument::removeObjectFromCirclesAtIndex(int index)
{
    return removeElement(circles(), QT_TRANSLATE_NOOP("SKTDocument", "circle"), index);
}

std::optional<SKTScriptingError> SKTDocument::removeObjectFromLinesAtIndex(int index)
{
    return removeElement(lines(), QT_TRANSLATE_NOOP("SKTDocument", "line"), index);
}

std::optional<SKTScriptingError> SKTDocument::removeObjectFromTextAreasAtIndex(int index)
{
    return removeElement(textAreas(), QT_TRANSLATE_NOOP("SKTDocument", "text area"), index);
}

std::optional<SKTScriptingError> SKTDocument::removeObjectFromImagesAtIndex(int index)
{
    return removeElement(images(), QT_TRANSLATE_NOOP("SKTDocument", "image"), index);
}

SKTGraphicPtr SKTDocument::newScriptingObjectOfClass(const QString &className)
{
    if (className == QLatin1String("SKTGraphic"))
        return std::make_shared<Shape_Control>();
    return SKTGraphic::graphicWithClassName(className);
}

std::optional<SKTObjectSpecifier> SKTDocument::objectSpecifierForGraphic(const SKTGraphic *graphic) const
{
    const int index = _graphics.indexOf(graphic);
    if (index < 0)
        return std::nullopt;
    return SKTObjectSpecifier::atIndex(QStringLiteral("graphics"), index);
}

GraphicList SKTDocument::objectsByEvaluatingSpecifier(const SKTObjectSpecifier &specifier) const
{
    const std::optional<GraphicList> elements = elementsForKey(specifier.key);
    if (!elements)
        return {};
    switch (specifier.form) {
    case SKTObjectSpecifier::Form::Index:
        if (specifier.index >= 0 && specifier.index < elements->size())
            return {elements->at(specifier.index)};
        return {};
    case SKTObjectSpecifier::Form::Every:
        return *elements;
    case SKTObjectSpecifier::Form::Range:
    case SKTObjectSpecifier::Form::Relative:
        break;
    }
    GraphicList objects;
    for (const int index : indicesOfObjectsByEvaluatingObjectSpecifier(specifier).value_or(QList<int>()))
        objects << elements->at(index);
    return objects;
}

std::optional<QList<int>> SKTDocument::indicesOfObjectsByEvaluatingObjectSpecifier(const SKTObjectSpecifier &specifier) const
{
    switch (specifier.form) {
    case SKTObjectSpecifier::Form::Range:
        return indicesOfObjectsByEvaluatingRangeSpecifier(specifier);
    case SKTObjectSpecifier::Form::Relative:
        return indicesOfObjectsByEvaluatingRelativeSpecifier(specifier);
    default:
        return std::nullopt;
    }
}

std::optional<QList<int>> SKTDocument::indicesOfObjectsByEvaluatingRangeSpecifier(const SKTObjectSpecifier &specifier) const
{
    if (!isSpecifierKey(specifier.key) || (!specifier.start && !specifier.end))
        return std::nullopt;
    const GraphicList &front = _graphics.items();
    if (front.isEmpty())
        return QList<int>();
    if ((specifier.start && !isSpecifierKey(specifier.start->key)) || (specifier.end && !isSpecifierKey(specifier.end->key)))
        return std::nullopt;
    // A list stands for its first element at the start and its last at the end.
    const auto frontIndex = [&](const SKTObjectSpecifier::Ptr &end, bool first, int otherwise) -> std::optional<int> {
        if (!end)
            return otherwise;
        const GraphicList objects = objectsByEvaluatingSpecifier(*end);
        if (objects.isEmpty())
            return std::nullopt;
        const int index = front.indexOf(first ? objects.first() : objects.last());
        return index < 0 ? std::nullopt : std::optional<int>(index);
    };
    std::optional<int> start = frontIndex(specifier.start, true, 0);
    std::optional<int> end = frontIndex(specifier.end, false, int(front.size()) - 1);
    if (!start || !end)
        return std::nullopt;
    if (*end < *start)
        std::swap(start, end);
    const GraphicList elements = *elementsForKey(specifier.key);
    QList<int> indexes;
    for (int i = *start; i <= *end; ++i) {
        const int index = isListKey(specifier.key) ? i : int(elements.indexOf(front.at(i)));
        if (index >= 0)
            indexes << index;
    }
    return indexes;
}

std::optional<QList<int>> SKTDocument::indicesOfObjectsByEvaluatingRelativeSpecifier(const SKTObjectSpecifier &specifier) const
{
    if (!isSpecifierKey(specifier.key) || !specifier.base)
        return std::nullopt;
    const GraphicList &front = _graphics.items();
    if (front.isEmpty())
        return QList<int>();
    if (!isSpecifierKey(specifier.base->key))
        return std::nullopt;
    const bool before = specifier.position == SKTObjectSpecifier::Position::Before;
    const GraphicList objects = objectsByEvaluatingSpecifier(*specifier.base);
    if (objects.isEmpty())
        return std::nullopt;
    const int base = int(front.indexOf(before ? objects.first() : objects.last()));
    if (base < 0)
        return std::nullopt;
    const GraphicList elements = *elementsForKey(specifier.key);
    for (int i = base + (before ? -1 : 1); i >= 0 && i < front.size(); i += before ? -1 : 1) {
        const int index = isListKey(specifier.key) ? i : int(elements.indexOf(front.at(i)));
        if (index >= 0)
            return QList<int>{index};
    }
    return QList<int>();
}
