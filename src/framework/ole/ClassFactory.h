// Class factories and the module that owns them: how a loadable module hands out new objects,
// counts the ones alive, and registers its classes.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "ObjectModel.h"
#include "Unknown.h"

namespace kestrix {

class RegistryTree;

inline constexpr HRESULT CLASS_E_NOAGGREGATION = MakeHResult(0x80040110);
inline constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = MakeHResult(0x80040111);
inline constexpr HRESULT REGDB_E_READREGDB = MakeHResult(0x80040150);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = MakeHResult(0x80040154);
inline constexpr HRESULT CO_E_CLASSSTRING = MakeHResult(0x800401F3);
inline constexpr HRESULT CO_E_DLLNOTFOUND = MakeHResult(0x800401F8);
inline constexpr HRESULT CO_E_ERRORINDLL = MakeHResult(0x800401F9);
inline constexpr HRESULT SELFREG_E_TYPELIB = MakeHResult(0x80040200);
inline constexpr HRESULT SELFREG_E_CLASS = MakeHResult(0x80040201);

inline constexpr IID IID_IClassFactory = {0x00000001, 0x0000, 0x0000,
                                          {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

class IClassFactory : public IUnknown {
 public:
  virtual HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** object) = 0;
  virtual HRESULT LockServer(BOOL lock) = 0;

 protected:
  ~IClassFactory() = default;
};

// What the registration functions need to know of a module: where it lies, the type library
// it carries, and its string resources.
struct ModuleInstance {
  std::string path;  // absolute path of the shared object
  const struct TypeLibDesc* typeLib = nullptr;
  std::string (*loadString)(UINT id) = nullptr;
};
using HINSTANCE = const ModuleInstance*;

// The absolute path of the loaded shared object (or program) that holds address.
std::string ModulePathOf(const void* address);

class COleObjectFactory;

// The module's one application object. It owns the list of class factories and counts what
// keeps the module loaded: live objects made by its factories and the factories' locks.
class COleControlModule {
 public:
  COleControlModule() = default;
  virtual ~COleControlModule() = default;
  COleControlModule(const COleControlModule&) = delete;
  COleControlModule& operator=(const COleControlModule&) = delete;

  virtual BOOL InitInstance() { return TRUE; }
  virtual int ExitInstance() { return 0; }
  virtual const ModuleInstance& Instance() const = 0;

  void AddFactory(COleObjectFactory* factory) { factories_.push_back(factory); }
  HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** object);
  // Runs every factory's registration (or unregistration) on the registry.
  BOOL UpdateRegistryAll(RegistryTree& registry, BOOL bRegister);
  // S_OK when no object is alive and no factory is locked, else S_FALSE.
  HRESULT CanUnloadNow() const;

  // Each live object made by a factory holds the module.
  void LockApp() { ++objects_; }
  void UnlockApp() { --objects_; }
  long ObjectCount() const { return objects_; }
  // IClassFactory::LockServer; an unlock without a lock is ignored.
  void LockServer(bool lock);
  long ServerLockCount() const { return serverLocks_; }

 private:
  std::vector<COleObjectFactory*> factories_;
  std::atomic<long> objects_{0};
  std::atomic<long> serverLocks_{0};
};

// One creatable class, multiple-use: every creation request makes a new object. The factory
// itself lives as long as its module: its references are not counted.
class COleObjectFactory
    : public com::Object<com::Uncounted,
                         com::Answer<IClassFactory, IID_IUnknown, IID_IClassFactory>> {
 public:
  // Makes a new object holding one reference, or nullptr when it cannot.
  using Creator = IUnknown* (*)(COleControlModule& module);

  COleObjectFactory(COleControlModule& module, REFCLSID clsid, const char* progID,
                    Creator create);
  virtual ~COleObjectFactory() = default;

  const CLSID& GetClassID() const { return clsid_; }
  const char* GetProgID() const { return progID_; }
  COleControlModule& Module() const { return module_; }
  // Writes (or removes) this class's registration in the registry.
  virtual BOOL UpdateRegistry(RegistryTree& registry, BOOL bRegister) = 0;

  HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** object) override;
  HRESULT LockServer(BOOL lock) override;

 private:
  COleControlModule& module_;
  CLSID clsid_;
  const char* progID_;
  Creator create_;
};

}  // namespace kestrix
