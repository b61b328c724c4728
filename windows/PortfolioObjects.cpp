#include "windows/PortfolioObjects.h"

#include "model/Portfolio.h"
#include "model/PortfolioTable.h"

int TPortfolioObjects::count() const { return table_.count(); }

TCustomPropertyObject* TPortfolioObjects::item(int index) const { return table_.items(index); }

int TPortfolioObjects::currentIndex() const { return table_.currentIndex(); }

void TPortfolioObjects::setCurrentIndex(int index) { table_.setCurrentIndex(index); }
