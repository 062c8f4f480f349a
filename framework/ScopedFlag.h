// CScopedFlag: the one re-entry idiom. A member flag of the object concerned is set for one
// scope and cleared at its end; a nested scope on the same flag finds it set and returns at
// once. The flag belongs to the object, so two objects never block each other.
#pragma once

class CScopedFlag {
public:
    explicit CScopedFlag(bool& flag) : m_flag(flag), m_entered(!flag) { m_flag = true; }
    ~CScopedFlag() {
        if (m_entered) m_flag = false;
    }
    CScopedFlag(const CScopedFlag&) = delete;
    CScopedFlag& operator=(const CScopedFlag&) = delete;

    // False in a nested scope: the outer one is still at work.
    bool Entered() const { return m_entered; }

private:
    bool& m_flag;    // the object's flag
    bool m_entered;  // this scope set it (and clears it)
};
