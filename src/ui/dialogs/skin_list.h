#pragma once

#include <string>

namespace quobel {

// The bar's skins as the options dialog sees them: names in list order, the current one and the
// way to choose another.
class TSkinList {
  public:
    virtual ~TSkinList() = default;
    virtual int Count() const = 0;
    virtual std::string Name(int index) const = 0;
    // -1 when there is no current skin.
    virtual int CurrentIndex() const = 0;
    // Makes the skin current (and stores the choice).
    virtual void SetCurrent(int index) = 0;
};

// Adapts any skin list with Count(), Items(i).Name, Current() and SetCurrent(skin*).
template <class TSkinsType>
class TSkinListOf : public TSkinList {
  public:
    explicit TSkinListOf(TSkinsType& skins) : skins_(skins) {}
    int Count() const override { return static_cast<int>(skins_.Count()); }
    std::string Name(int index) const override { return skins_.Items(index).Name; }
    int CurrentIndex() const override {
        for (int i = 0; i < Count(); ++i) {
            if (&skins_.Items(i) == skins_.Current()) {
                return i;
            }
        }
        return -1;
    }
    void SetCurrent(int index) override { skins_.SetCurrent(&skins_.Items(index)); }

  private:
    TSkinsType& skins_;
};

}  // namespace quobel
