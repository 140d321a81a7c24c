#include "documents/qix_storage_budget.h"

namespace keln {

namespace {
bool g_in_force = false;
std::size_t g_left = 0;
}  // namespace

void qix_storage_budget_begin(std::size_t bytes) {
  g_in_force = true;
  g_left = bytes;
}

void qix_storage_budget_end() {
  g_in_force = false;
  g_left = 0;
}

bool qix_storage_budget_take(std::size_t bytes) {
  if (!g_in_force) return true;
  if (bytes > g_left) return false;
  g_left -= bytes;
  return true;
}

}  // namespace keln
