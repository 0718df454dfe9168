// A graphic as scripts see it: its document's name for it, and its fill and stroke.

#include "document/SKTDocument.h"
#include "document/SKTGraphic.h"

#include <QCoreApplication>

#include <functional>

namespace {

SKTScriptingError commandError(const char *text)
{
    return {SKTScriptingError::Kind::Command, -10000, QCoreApplication::translate("SKTGraphic", text)};
}

} // namespace

void SKTGraphic::setScriptingContainer(SKTDocument *container)
{
    _scriptingContainer = container ? container->scriptingReference() : std::weak_ptr<SKTDocument *>();
}

SKTDocument *SKTGraphic::scriptingContainer() const
{
    const std::shared_ptr<SKTDocument *> container = _scriptingContainer.lock();
    return container ? *container : nullptr;
}

std::optional<SKTObjectSpecifier> SKTGraphic::objectSpecifier(SKTScriptingError *error) const
{
    const SKTDocument *container = scriptingContainer();
    std::optional<SKTObjectSpecifier> specifier = container ? container->objectSpecifierForGraphic(this) : std::nullopt;
    if (!specifier && error)
        *error = {SKTScriptingError::Kind::InternalInconsistency, 0,
                  QStringLiteral("A scriptable graphic has no scriptable container, or one that doesn't implement "
                                 "-objectSpecifierForGraphic: correctly.")};
    return specifier;
}

std::optional<QColor> SKTGraphic::scriptingFillColor() const
{
    return isDrawingFill() ? std::optional<QColor>(fillColor()) : std::nullopt;
}

std::optional<QColor> SKTGraphic::scriptingStrokeColor() const
{
    return isDrawingStroke() ? std::optional<QColor>(strokeColor()) : std::nullopt;
}

std::optional<double> SKTGraphic::scriptingStrokeWidth() const
{
    return isDrawingStroke() ? std::optional<double>(strokeWidth()) : std::nullopt;
}

std::optional<SKTScriptingError> SKTGraphic::setScriptingFillColor(const std::optional<QColor> &color)
{
    if (color) {
        if (!isDrawingFill()) {
            if (!canSetDrawingFill())
                return commandError(QT_TRANSLATE_NOOP("SKTGraphic", "You can't set the fill color of this kind of graphic."));
            setDrawingFill(true);
        }
        setFillColor(*color);
    } else if (isDrawingFill()) {
        if (!canSetDrawingFill())
            return commandError(QT_TRANSLATE_NOOP("SKTGraphic", "You can't remove the fill from this kind of graphic."));
        setDrawingFill(false);
    }
    return std::nullopt;
}

namespace {

// The stroke's colour or width by script: switched on for a value, off for none, where it may be.
template <typename T>
std::optional<SKTScriptingError> setStroke(SKTGraphic &graphic, const std::optional<T> &value, const char *cannotSet,
                                           const std::function<void(const T &)> &set)
{
    if (value) {
        if (!graphic.isDrawingStroke()) {
            if (!graphic.canSetDrawingStroke())
                return commandError(cannotSet);
            graphic.setDrawingStroke(true);
        }
        set(*value);
    } else if (graphic.isDrawingStroke()) {
        if (!graphic.canSetDrawingStroke())
            return commandError(QT_TRANSLATE_NOOP("SKTGraphic", "You can't remove the stroke from this kind of graphic."));
        graphic.setDrawingStroke(false);
    }
    return std::nullopt;
}

} // namespace

std::optional<SKTScriptingError> SKTGraphic::setScriptingStrokeColor(const std::optional<QColor> &color)
{
    return setStroke<QColor>(*this, color,
                             QT_TRANSLATE_NOOP("SKTGraphic", "You can't set the stroke color of this kind of graphic."),
                             [this](const QColor &c) { setStrokeColor(c); });
}

std::optional<SKTScriptingError> SKTGraphic::setScriptingStrokeWidth(const std::optional<double> &width)
{
    return setStroke<double>(*this, width,
                             QT_TRANSLATE_NOOP("SKTGraphic", "You can't set the stroke thickness of this kind of graphic."),
                             [this](const double &w) { setStrokeWidth(w); });
}
