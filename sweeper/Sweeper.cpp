#include "sweeper/Sweeper.h"

#include <memory>

#include "core/Exception.h"
#include "core/Trace.h"

using System::String;

Sweeper::Sweeper(const String& name) : name_(name) {}

Sweeper::~Sweeper()
{
    if (thread_) {
        SetStopRequested(true);
        thread_->Join(-1);
        delete thread_;
    }
    children_.Clear();
    for (Sweeper* child : childList_) delete child;
    childList_.Clear();
}

void Sweeper::AddChild(Sweeper* child)
{
    if (!child) throw new System::ArgumentNullException(L"child");
    if (children_.ContainsKey(child->name_)) {
        throw new System::ArgumentException(L"A child named \"" + child->name_ + L"\" already exists under \"" + GetFullName() + L"\".");
    }
    if (child->parent_ || child == this) {
        throw new System::ArgumentException(L"\"" + child->name_ + L"\" already belongs to a tree.");
    }
    childList_.AddLast(child);
    children_.Add(child->name_, child);
    child->parent_ = this;
    child->Progress.AddHandler(this, &Sweeper::OnChildProgress);
}

System::Array<Sweeper*> Sweeper::GetChildren() const { return childList_.ToArray(); }

String Sweeper::GetFullName() const
{
    if (!parent_) return name_;
    String parentName = parent_->GetFullName();
    return parentName.IsEmpty() ? name_ : parentName + L"." + name_;
}

void Sweeper::StartThread(int argument)
{
    if (thread_) {
        if (thread_->IsAlive()) throw new System::InvalidOperationException(L"A sweep pass is already running.");
        delete thread_;
        thread_ = nullptr;
    }
    threadArgument_ = argument;
    auto thread = std::make_unique<System::Threading::Thread>([](void* node) {
        auto* sweeper = static_cast<Sweeper*>(static_cast<System::Object*>(node));
        sweeper->Run(sweeper->threadArgument_ != 0);
    });
    thread->Start(static_cast<System::Object*>(this));
    thread_ = thread.release();
}

bool Sweeper::WaitForThread(int milliseconds) { return !thread_ || thread_->Join(milliseconds); }

void Sweeper::Reset(bool keepFindings)
{
    for (Sweeper* child : childList_) child->Reset(keepFindings);
    SetDone(false);
    SetStopRequested(false);
}

void Sweeper::Run(bool sweep)
{
    SetDone(false);
    SetStopRequested(false);
    if (parent_) {
        RunChildren(sweep);
        return;
    }
    // The root is where a stop, raised as an exception from a Progress event, ends the pass.
    try {
        RunChildren(sweep);
    } catch (System::Exception* caught) {
        delete caught;
        System::Diagnostics::Trace::WriteLine(L"Sweep stopped");
    }
    RaiseCompleted();
}

void Sweeper::RunChildren(bool sweep)
{
    RaiseProgress();
    for (Sweeper* child : childList_) {
        if (!child->IsSelected()) continue;
        System::Diagnostics::Trace::WriteLine(L"Sweeping " + child->GetFullName());
        child->Run(sweep);
    }
    SetDone(true);
    // The root raises Completed after its guard, so that it does so once whether stopped or not.
    if (parent_) RaiseCompleted();
}

int64_t Sweeper::GetSize() const
{
    int64_t size = 0;
    for (Sweeper* child : childList_) {
        if (child->IsSelected()) size += child->GetSize();
    }
    return size;
}

int32_t Sweeper::GetCount() const
{
    int32_t count = 0;
    for (Sweeper* child : childList_) {
        if (child->IsSelected()) count += child->GetCount();
    }
    return count;
}

int Sweeper::GetProgress() const
{
    if (IsDone()) return 100;
    int selected = 0;
    for (Sweeper* child : childList_) {
        if (child->IsSelected()) ++selected;
    }
    if (selected == 0) return 0;
    int progress = 0;
    for (Sweeper* child : childList_) {
        if (child->IsSelected()) progress += child->GetProgress() / selected;
    }
    return progress;
}

void Sweeper::OnChildProgress(System::Object* target, System::Object*)
{
    auto* node = static_cast<Sweeper*>(target);
    if (node->IsStopRequested()) throw new System::ApplicationException();
    node->RaiseProgress();
}
