#include "Formulas.h"

#include "ZtLineLibTheme.h"

#include <utility>

Formulas::formulaLine::formulaLine()
    : pen(getThemePen(QStringLiteral("Default"), Qt::SolidLine))
{
}

Formulas::formulaLine::formulaLine(QString name_, int drawType_, QPen pen_, bool showValue_)
    : formulaLine()
{
    name = std::move(name_);
    drawType = drawType_;
    pen = std::move(pen_);
    showValue = showValue_;
}

Formulas::Formulas() = default;

Formulas::Formulas(const Formulas& other)
    : m_cursor(other.m_cursor),
      m_data(other.m_data),
      m_isDLine(other.m_isDLine),
      m_index(other.m_index),
      m_startIndex(other.m_startIndex),
      m_showIndex(other.m_showIndex),
      m_showLength(other.m_showLength),
      m_prec(other.m_prec),
      m_maxValue(other.m_maxValue),
      m_minValue(other.m_minValue),
      m_ydcmLayers(other.m_ydcmLayers),
      m_ydcmInfo(other.m_ydcmInfo),
      m_colorIndex(other.m_colorIndex),
      m_rowLow(other.m_rowLow),
      m_rowHigh(other.m_rowHigh)
{
    copyLinesFrom(other);
}

Formulas::Formulas(Formulas&& other) noexcept
    : m_cursor(other.m_cursor),
      m_lines(std::move(other.m_lines)),
      m_data(other.m_data),
      m_isDLine(other.m_isDLine),
      m_index(other.m_index),
      m_startIndex(other.m_startIndex),
      m_showIndex(other.m_showIndex),
      m_showLength(other.m_showLength),
      m_prec(other.m_prec),
      m_maxValue(other.m_maxValue),
      m_minValue(other.m_minValue),
      m_ydcmLayers(std::move(other.m_ydcmLayers)),
      m_ydcmInfo(std::move(other.m_ydcmInfo)),
      m_colorIndex(other.m_colorIndex),
      m_rowLow(std::move(other.m_rowLow)),
      m_rowHigh(std::move(other.m_rowHigh))
{
    // The moved-from container must not free the lines it no longer owns.
    other.m_lines.clear();
    other.m_cursor = -1;
    other.m_blocksTo = other.m_blocksFrom;
    other.m_keptWindow = {};
}

Formulas& Formulas::operator=(const Formulas& other)
{
    if (this != &other) {
        Formulas copy(other);
        *this = std::move(copy);
    }
    return *this;
}

Formulas& Formulas::operator=(Formulas&& other) noexcept
{
    if (this == &other)
        return *this;
    clearLines();
    m_cursor = other.m_cursor;
    m_lines = std::move(other.m_lines);
    other.m_lines.clear();
    other.m_cursor = -1;
    m_data = other.m_data;
    m_isDLine = other.m_isDLine;
    m_index = other.m_index;
    m_startIndex = other.m_startIndex;
    m_showIndex = other.m_showIndex;
    m_showLength = other.m_showLength;
    m_prec = other.m_prec;
    m_maxValue = other.m_maxValue;
    m_minValue = other.m_minValue;
    m_ydcmLayers = std::move(other.m_ydcmLayers);
    m_ydcmInfo = std::move(other.m_ydcmInfo);
    m_colorIndex = other.m_colorIndex;
    m_rowLow = std::move(other.m_rowLow);
    m_rowHigh = std::move(other.m_rowHigh);
    // Block extremes are made again on demand, here and in other.
    m_blocksTo = m_blocksFrom;
    other.m_blocksTo = other.m_blocksFrom;
    m_keptWindow = {};
    other.m_keptWindow = {};
    return *this;
}

Formulas::~Formulas()
{
    qDeleteAll(m_lines);
}

void Formulas::copyLinesFrom(const Formulas& other)
{
    m_lines.reserve(other.m_lines.size());
    for (const formulaLine* line : other.m_lines)
        m_lines.append(new formulaLine(*line));
}

void Formulas::clearLines()
{
    qDeleteAll(m_lines);
    m_lines.clear();
    m_cursor = -1;
}

bool Formulas::moveFirst()
{
    if (m_lines.isEmpty())
        return false;
    m_cursor = 0;
    return true;
}

bool Formulas::moveLast()
{
    if (m_lines.isEmpty())
        return false;
    m_cursor = m_lines.size() - 1;
    return true;
}

bool Formulas::moveNext()
{
    if (m_cursor >= m_lines.size() - 1)
        return false;
    ++m_cursor;
    return true;
}

bool Formulas::moveTo(int i)
{
    if (i < 0 || i >= m_lines.size())
        return false;
    m_cursor = i;
    return true;
}

Formulas::formulaLine* Formulas::currentLine() const
{
    // A cursor left behind by a shorter list names no line.
    return (m_cursor >= 0 && m_cursor < m_lines.size()) ? m_lines.at(m_cursor) : nullptr;
}

void Formulas::appendLine(const formulaLine& line)
{
    m_lines.append(new formulaLine(line));
}
