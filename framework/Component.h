#pragma once

#include <concepts>
#include <memory>
#include <utility>
#include <vector>

// A piece with an owner: the owner creates it, keeps it, and destroys its components in the
// reverse order of their creation. Settings are applied right after creation; Loaded runs
// once the owner has created and configured all of its components.
class TComponent {
public:
  explicit TComponent(TComponent* owner) noexcept : FOwner(owner) {}
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;
  virtual ~TComponent();

  TComponent* Owner() const noexcept { return FOwner; }
  std::size_t ComponentCount() const noexcept { return FComponents.size(); }
  TComponent& Component(std::size_t index) const { return *FComponents.at(index); }

  virtual void Loaded() {}

  template <class T, class... Args>
  requires std::constructible_from<T, TComponent*, Args...> T& Create(Args&&... args) {
    auto component = std::make_unique<T>(this, std::forward<Args>(args)...);
    T& result = *component;
    FComponents.push_back(std::move(component));
    return result;
  }

  // Creates a component and applies its layout settings before the next one is made.
  template <class T>
  T& Create(const typename T::TSettings& settings) {
    T& result = Create<T>();
    result.ApplySettings(settings);
    return result;
  }

protected:
  // Destroys the owned components, the last created first.
  void DestroyComponents() noexcept;
  // Tells every owned component that the owner's layout data has been applied.
  void LoadComponents();

private:
  TComponent* FOwner;
  std::vector<std::unique_ptr<TComponent>> FComponents;
};
