#pragma once
// The interface through which the host drives an add-in from load to unload.
#include "platform/com/com_object.h"

namespace com {

class IDTExtensibility2 {
 public:
  virtual ~IDTExtensibility2();
  virtual void OnConnection(const ObjectPtr& application, int connectMode, const ObjectPtr& addInInst,
                            Args& custom) = 0;
  virtual void OnStartupComplete(Args& custom) = 0;
  virtual void OnAddInsUpdate(Args& custom) = 0;
  virtual void OnBeginShutdown(Args& custom) = 0;
  virtual void OnDisconnection(int removeMode, Args& custom) = 0;
};

}  // namespace com
