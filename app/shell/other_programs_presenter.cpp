#include "app/shell/other_programs_presenter.h"

#include <exception>

namespace kv {

TPublicityPresenter::TPublicityPresenter(TPublicityResources& resources, std::string programTitle,
                                         std::function<int(int)> random)
    : resources_(resources), title_(std::move(programTitle)), order_(std::move(random)) {}

bool TPublicityPresenter::Next(TPublicityView& view, std::string& error) {
  try {
    if (!entries_) entries_ = std::make_unique<TPublicities>(resources_, title_);
    TPublicity& entry = entries_->GetEntry(order_.Next(entries_->Count()));
    TPublicityView next;
    next.name = entry.Name();
    next.link = entry.Link();
    next.body = entry.GetBody();
    next.picture = entry.LoadPicture();
    view = std::move(next);
    return true;
  } catch (const std::exception& e) {
    error = e.what();
    return false;
  }
}

}  // namespace kv
