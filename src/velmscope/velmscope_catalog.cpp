#include "velmscope/velmscope_catalog.h"

namespace keln::velmscope {

void velmscope_catalog_t::build(const velm::catalog_character_t* characters, std::uint32_t count) {
  for (std::uint32_t c = 0; c < count; ++c) {
    const velm::catalog_character_t& character = characters[c];
    auto_ptr_t<velmscope_model_t> model(new velmscope_model_t(character.name, character.skeleton));
    if (character.geometry) model->set_mesh(character.geometry);
    for (std::uint32_t a = 0; a < character.animation_count; ++a) {
      const velm::catalog_animation_t& animation = character.animations[a];
      model->add_animation(animation.name, animation.base, animation.document);
    }
    model->select_first_base();
    models.push_back(std::move(model));
  }
}

}  // namespace keln::velmscope
