// The ".kxr" file association with the desktop: set up while the option is
// on, removed when it is turned off. Failures are ignored: the game never
// shows a message for them.
#pragma once

#include <QString>

namespace trisk {

class TFileAssociation {
  public:
    virtual ~TFileAssociation() = default;
    // Points ".kxr" files at the program file programPath.
    virtual void SetUp(const QString& programPath) = 0;
    virtual void Remove() = 0;
};

// Does nothing: for tests, and for platforms without an association backend.
class TNoFileAssociation : public TFileAssociation {
  public:
    void SetUp(const QString&) override {}
    void Remove() override {}
};

}  // namespace trisk
