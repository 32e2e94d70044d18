#include "core/recovery_matrix.h"

#include <algorithm>

#include "core/gf16.h"

namespace {

// Subtracts `factor` times row `from` from row `to` (m entries each): in GF(2^16) the same as
// adding.
void AddScaledRow(uint16_t* to, const uint16_t* from, uint16_t factor, size_t m) {
  for (size_t j = 0; j < m && factor != 0; ++j) to[j] ^= GfMultiply(factor, from[j]);
}

// Gauss-Jordan on the independent rows `rows` (m x m) beside the identity, which becomes the
// inverse.
void Invert(std::vector<uint16_t> rows, size_t m, std::vector<uint16_t>* inverse) {
  inverse->assign(m * m, 0);
  for (size_t i = 0; i < m; ++i) (*inverse)[i * m + i] = 1;
  uint16_t* a = rows.data();
  uint16_t* b = inverse->data();
  for (size_t column = 0; column < m; ++column) {
    size_t pivot = column;
    while (a[pivot * m + column] == 0) ++pivot;  // the rows are independent: there is one
    std::swap_ranges(a + pivot * m, a + pivot * m + m, a + column * m);
    std::swap_ranges(b + pivot * m, b + pivot * m + m, b + column * m);
    const uint16_t scale = GfDivide(1, a[column * m + column]);
    for (size_t j = 0; j < m; ++j) {
      a[column * m + j] = GfMultiply(a[column * m + j], scale);
      b[column * m + j] = GfMultiply(b[column * m + j], scale);
    }
    for (size_t r = 0; r < m; ++r) {
      if (r == column) continue;
      const uint16_t factor = a[r * m + column];
      AddScaledRow(a + r * m, a + column * m, factor, m);
      AddScaledRow(b + r * m, b + column * m, factor, m);
    }
  }
}

}  // namespace

bool ChooseAndInvert(const std::vector<uint16_t>& lost, const std::vector<uint32_t>& exponents,
                     std::vector<size_t>* chosen, std::vector<uint16_t>* inverse) {
  const size_t m = lost.size();
  // The chosen rows, and the same rows reduced: each new row is cleared at the columns where
  // earlier rows have their leading entry, and kept when something is left.
  std::vector<uint16_t> rows;
  std::vector<uint16_t> reduced;
  std::vector<size_t> lead;
  std::vector<uint16_t> row(m);
  chosen->clear();
  for (size_t e = 0; e < exponents.size() && chosen->size() < m; ++e) {
    for (size_t j = 0; j < m; ++j) row[j] = GfPower(lost[j], exponents[e]);
    std::vector<uint16_t> rest = row;
    for (size_t r = 0; r < lead.size(); ++r) {
      const uint16_t* earlier = &reduced[r * m];
      AddScaledRow(rest.data(), earlier, GfDivide(rest[lead[r]], earlier[lead[r]]), m);
    }
    const auto nonZero = std::find_if(rest.begin(), rest.end(), [](uint16_t v) { return v != 0; });
    if (nonZero == rest.end()) continue;
    lead.push_back(static_cast<size_t>(nonZero - rest.begin()));
    reduced.insert(reduced.end(), rest.begin(), rest.end());
    rows.insert(rows.end(), row.begin(), row.end());
    chosen->push_back(e);
  }
  if (chosen->size() < m) return false;
  Invert(std::move(rows), m, inverse);
  return true;
}
