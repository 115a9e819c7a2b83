#include "ColumnFit.h"

#include "Twips.h"

#include <algorithm>

int ColumnFit::Width(int captionPixels, int widestValuePixels) const
{
    int width = Twips::FromPixels(captionPixels) + m_headerMargin;
    if (widestValuePixels > 0)
        width = std::max(width, Twips::FromPixels(widestValuePixels) + m_valueMargin);
    return std::min(width, MaxTwips);
}
