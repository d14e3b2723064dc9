#pragma once
#include <QString>

#include <initializer_list>

// Language texts come from files anyone can edit, so they must never reach
// printf as a format: a stray "%s" in a translation would read a string
// where an int was passed and crash the program. These two functions are
// the safe way to fill the few texts that carry numbers.

// Replaces each "%d" of `format`, in order, with the next number and each
// "%%" with '%'. Every other '%' sequence, and a "%d" with no number left,
// stays as written, so a broken translation shows odd text instead of
// reading memory it should not.
QString formatLangText(const QString& format, std::initializer_list<long long> numbers);

// The printf conversions of `text`, concatenated in order ("%d%d", "%5d",
// "%s"); "%%" is not a conversion. A '%' at the very end gives "%".
QString placeholderPattern(const QString& text);
