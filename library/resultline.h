#pragma once

#include <QString>

// A line of the search results, "category.effect", taken apart again: at its last ".", "\" or ":";
// when that character is no ".", the effect is empty and the whole line is the category.
struct ResultLine
{
    QString category;
    QString effect;

    static ResultLine split(const QString &line);
};
