#include "model/term_removal.h"

namespace vorn {

void PurgeMarkedTerms(TBoolFnct& f) {
  TPfnct* lastKept = nullptr;
  std::unique_ptr<TPfnct>* link = &f.head;
  while (*link) {
    TPfnct* t = link->get();
    if (t->keep == 0) {
      std::unique_ptr<TPfnct> gone = std::move(*link);
      *link = std::move(gone->next);
      --f.termCount;
    } else {
      lastKept = t;
      link = &t->next;
    }
  }
  f.tail = lastKept;
}

TPfnct* RemoveTerm(TBoolFnct& f, TPfnct* term, TPfnct* before) {
  std::unique_ptr<TPfnct>& link = before ? before->next : f.head;
  std::unique_ptr<TPfnct> gone = std::move(link);
  link = std::move(gone->next);
  if (f.tail == term) f.tail = before;
  --f.termCount;
  return link.get();
}

}  // namespace vorn
