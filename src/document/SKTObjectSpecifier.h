#pragma once

#include <QString>

#include <memory>

// Names objects of a document as a script does: a key of the document's elements ("graphics",
// "rectangles", "lines"...) with one index in that element list, every element, the elements
// between two other specifiers, or the element before or after another.
struct SKTObjectSpecifier {
    enum class Form { Index, Every, Range, Relative };
    enum class Position { Before, After };
    using Ptr = std::shared_ptr<const SKTObjectSpecifier>;

    Form form = Form::Index;
    QString key;
    int index = 0;                       // Index
    Ptr start, end;                      // Range; either may be missing
    Position position = Position::After; // Relative
    Ptr base;                            // Relative

    static SKTObjectSpecifier atIndex(const QString &key, int index) { return {Form::Index, key, index, {}, {}, {}, {}}; }
    static SKTObjectSpecifier every(const QString &key) { return {Form::Every, key, 0, {}, {}, {}, {}}; }
    static SKTObjectSpecifier range(const QString &key, Ptr start, Ptr end)
    {
        return {Form::Range, key, 0, std::move(start), std::move(end), {}, {}};
    }
    static SKTObjectSpecifier relative(const QString &key, Position position, Ptr base)
    {
        return {Form::Relative, key, 0, {}, {}, position, std::move(base)};
    }
    static Ptr make(SKTObjectSpecifier specifier)
    {
        return std::make_shared<const SKTObjectSpecifier>(std::move(specifier));
    }
};

// How a script command fails: an index outside the elements, a graphic that its document cannot
// name, or the command's own error number (-10000) with its text.
struct SKTScriptingError {
    enum class Kind { Range, InternalInconsistency, Command };
    Kind kind = Kind::Command;
    int number = 0;
    QString text;
};
