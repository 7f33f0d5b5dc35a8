#include "grid/RecordGrid.h"

#include <algorithm>

RecordGrid::RecordGrid(int rows, int cols)
{
    setSize(rows, cols);
}

void RecordGrid::setSize(int rows, int cols)
{
    rows = std::max(rows, 0);
    cols = std::max(cols, 0);
    if (rows == m_rows && cols == m_cols)
        return;
    QVector<QString> cells(qsizetype(rows) * cols);
    const int keepRows = std::min(rows, m_rows);
    const int keepCols = std::min(cols, m_cols);
    for (int r = 1; r <= keepRows; ++r)
        for (int c = 1; c <= keepCols; ++c)
            cells[qsizetype(r - 1) * cols + (c - 1)] = std::move(m_cells[index(r, c)]);
    m_cells = std::move(cells);
    m_rows = rows;
    m_cols = cols;
}

void RecordGrid::reset()
{
    std::fill(m_cells.begin(), m_cells.end(), QString());
}

QString RecordGrid::text(int row, int col) const
{
    return inRange(row, col) ? m_cells[index(row, col)] : QString();
}

void RecordGrid::setText(int row, int col, const QString &text)
{
    if (inRange(row, col))
        m_cells[index(row, col)] = text;
}

void RecordGrid::clearBlock(int row1, int col1, int row2, int col2)
{
    row1 = std::max(row1, 1);
    col1 = std::max(col1, 1);
    row2 = std::min(row2, m_rows);
    col2 = std::min(col2, m_cols);
    for (int r = row1; r <= row2; ++r)
        for (int c = col1; c <= col2; ++c)
            m_cells[index(r, c)].clear();
}

void RecordGrid::insertRow(int row)
{
    if (row < 1 || row > m_rows)
        return;
    for (int r = m_rows; r > row; --r)
        for (int c = 1; c <= m_cols; ++c)
            m_cells[index(r, c)] = std::move(m_cells[index(r - 1, c)]);
    clearBlock(row, 1, row, m_cols);
}

void RecordGrid::deleteRow(int row)
{
    if (row < 1 || row > m_rows)
        return;
    for (int r = row; r < m_rows; ++r)
        for (int c = 1; c <= m_cols; ++c)
            m_cells[index(r, c)] = std::move(m_cells[index(r + 1, c)]);
    clearBlock(m_rows, 1, m_rows, m_cols);
}

void RecordGrid::moveBlock(int row1, int col1, int row2, int col2, int dstRow, int dstCol)
{
    if (row2 < row1 || col2 < col1)
        return;
    // Take the block first so that overlapping source and destination cannot mix.
    const int h = row2 - row1 + 1;
    const int w = col2 - col1 + 1;
    QVector<QString> block(qsizetype(h) * w);
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c)
            block[qsizetype(r) * w + c] = text(row1 + r, col1 + c);
    clearBlock(row1, col1, row2, col2);
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c)
            setText(dstRow + r, dstCol + c, block[qsizetype(r) * w + c]);
}
