#include "cosine_table.h"

#include <cmath>

void FillCosineTable(CosineTable& table)
{
  for (int j = 0; j < kCosineTableSize; ++j)
    table.entry[j] = std::cos(j * 3.141592653589793 * 2 / 16384);
}
