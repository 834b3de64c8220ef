#include "ui/Reticula.h"

#include "options/OptionCatalogue.h"
#include "ui/OpenAddress.h"
#include "ui/WebAddresses.h"

void Reticula::OnWebsiteClick() { OpenAddress(web::ReticulaSiteFor(options::uiLanguage.Text())); }

void Reticula::OnStoreClick() { OpenAddress(web::kReticulaStore); }
