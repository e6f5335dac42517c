#include "platform/packs/dxCore.h"

#include <algorithm>

TdxManager::TdxManager(TComponent* owner) : QObject(nullptr), TComponent(this, owner) {
    font_.OnChange = [this] { FontChanged(); };
}

TControl* TdxManager::Clients(int index) const {
    if (index < 0 || index >= ClientCount())
        throw EComponentError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return clients_[static_cast<std::size_t>(index)];
}

void TdxManager::AddClient(TControl* client) {
    if (std::find(clients_.begin(), clients_.end(), client) == clients_.end()) clients_.push_back(client);
    client->Font()->Assign(font_);
}

void TdxManager::RemoveClient(TControl* client) {
    clients_.erase(std::remove(clients_.begin(), clients_.end(), client), clients_.end());
}

void TdxManager::FontChanged() {
    for (TControl* client : clients_)
        client->Font()->Assign(font_);
}
