#pragma once

#include "platform/vcl/Components.h"

#include <QObject>

#include <vector>

// A non-visual manager whose Font is what the controls it manages show: a control takes the
// manager's font when it joins and again whenever that font changes.
class TdxManager : public QObject, public TComponent {
    Q_OBJECT
public:
    TFont* Font() { return &font_; }

    int ClientCount() const { return static_cast<int>(clients_.size()); }
    TControl* Clients(int index) const; // throws EComponentError out of range
    // Controls join through their own setters (a bar's manager, a panel's manager), and leave when
    // they are destroyed.
    void AddClient(TControl* client);
    void RemoveClient(TControl* client);

protected:
    explicit TdxManager(TComponent* owner);

private:
    void FontChanged();

    TFont font_;
    std::vector<TControl*> clients_;
};
