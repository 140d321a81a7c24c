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

difference_readout_t velmscope_catalog_t::difference_readout(std::uint32_t model) const {
  const velmscope_model_t& character = *models[model];
  const velm::joint_gap_t now = character.difference();
  difference_readout_t readout;
  readout.distance = now.distance;
  readout.bone = character.bone_name(now.bone);
  readout.largest_seen = character.largest_difference_seen();
  readout.rest_height = character.rest_height();
  readout.base_time = character.base_time();
  return readout;
}

}  // namespace keln::velmscope
