#include "documents/qix_context.h"

namespace keln {

qix_parse_context_t g_qix_context;

void qix_parse_setup(qix_node_list_t& nodes, qix_kind_t kind) {
  g_qix_context = qix_parse_context_t();
  g_qix_context.kind = kind;
  g_qix_context.nodes = &nodes;
  g_qix_context.qim = qix_new_node<qim_t>(nodes);
  g_qix_context.qis = qix_new_node<qis_t>(nodes);
  g_qix_context.qia = qix_new_node<qia_t>(nodes);
  g_qix_context.qit = qix_new_node<qit_t>(nodes);
  g_qix_context.qic = qix_new_node<qic_t>(nodes);
}

void qix_parse_clear() {
  const qix_parse_context_t roots = g_qix_context;
  g_qix_context = qix_parse_context_t();
  g_qix_context.kind = roots.kind;
  g_qix_context.qim = roots.qim;
  g_qix_context.qis = roots.qis;
  g_qix_context.qia = roots.qia;
  g_qix_context.qit = roots.qit;
  g_qix_context.qic = roots.qic;
}

}  // namespace keln
