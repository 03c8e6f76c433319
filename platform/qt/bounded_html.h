// A page cut down to what the simple HTML view can lay out in a moment. That view lays out on
// the window's thread, which also steps the count, and Qt's rich text costs grow past any use
// with a page's size, its depth (tables inside tables double it at each level) and its longest
// unbroken word: a page of a few hundred bytes could hold the window for minutes.
#pragma once

#include <QString>

namespace quelvex {

struct HtmlBounds {
    int text = 16384;     // characters of text, spaces included: the page view shows a few screens
    int tags = 2048;      // tags kept, closing ones included
    int depth = 32;       // elements open at once
    int tableDepth = 3;   // tables inside tables
    int style = 16384;    // characters of style sheets
    int tagLength = 4096; // characters of one tag with its attributes; a longer one is dropped
    int breakEvery = 64;  // characters of a word after which a line may break
};

// The page up to its bounds, as well-formed tags with their attributes quoted again: deeper
// elements lose their tags (their text stays), scripts and comments go, and the page ends where
// a budget runs out.
QString boundHtml(const QString& html, const HtmlBounds& bounds = {});

// Plain text up to the same bounds.
QString boundText(const QString& text, const HtmlBounds& bounds = {});

} // namespace quelvex
