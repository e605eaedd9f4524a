#include "framework/Component.h"

TComponent::~TComponent() {
  DestroyComponents();
}

void TComponent::DestroyComponents() noexcept {
  while (!FComponents.empty()) FComponents.pop_back();
}

void TComponent::LoadComponents() {
  for (const auto& component : FComponents) component->Loaded();
}
