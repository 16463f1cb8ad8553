#pragma once

#include <QByteArray>
#include <optional>
#include <vector>

// Width and position of one list column, as the sortable lists remember them
// between runs (profile section "mylist"). Columns are listed by their
// creation index; order is the place the column is shown at (0 = leftmost).
struct ColumnState {
    int width = 0;
    int order = 0;

    bool operator==(const ColumnState& o) const { return width == o.width && order == o.order; }
};
using ColumnLayout = std::vector<ColumnState>;

// The stored form: the column count, then width and order of each column,
// every value a little-endian 32-bit integer.
QByteArray EncodeColumnLayout(const ColumnLayout& columns);

// The layout held by bytes, or nothing when they are short, hold a negative
// count or width, or orders that are not each place 0 .. count-1 exactly
// once (such a layout cannot be applied without losing a column). Bytes after
// the last column are ignored.
std::optional<ColumnLayout> DecodeColumnLayout(const QByteArray& bytes);
