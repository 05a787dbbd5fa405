// The collecting operations: they append pointers to existing subtrees (not
// copies) to the caller's list.
#include "engine/ExprNode.h"

namespace kv {

// Factors of a product: a negation gives its operand, a product both
// children (recursively), a power its base.
void ExprNode::collectFactors(NodeList& out) const {
    switch (kind()) {
        case Kind::Negation:
            out.push_back(&operandOf(*this));
            operandOf(*this).collectFactors(out);
            break;
        case Kind::Product:
            out.push_back(&leftOf(*this));
            out.push_back(&rightOf(*this));
            leftOf(*this).collectFactors(out);
            rightOf(*this).collectFactors(out);
            break;
        case Kind::Power:
            out.push_back(&leftOf(*this));
            break;
        default:
            break;
    }
}

// As collectFactors, and also square-root operands and both sides of quotients.
void ExprNode::collectFactorsAndDivisors(NodeList& out) const {
    switch (kind()) {
        case Kind::Negation:
        case Kind::Sqrt:
            out.push_back(&operandOf(*this));
            operandOf(*this).collectFactorsAndDivisors(out);
            break;
        case Kind::Product:
        case Kind::Quotient:
            out.push_back(&leftOf(*this));
            out.push_back(&rightOf(*this));
            leftOf(*this).collectFactorsAndDivisors(out);
            rightOf(*this).collectFactorsAndDivisors(out);
            break;
        case Kind::Power:
            out.push_back(&leftOf(*this));
            break;
        default:
            break;
    }
}

void ExprNode::collectAddends(NodeList& out) const {
    switch (kind()) {
        case Kind::Negation:
            out.push_back(&operandOf(*this));
            operandOf(*this).collectAddends(out);
            break;
        case Kind::Product:
        case Kind::Sum:
        case Kind::Difference: {
            const ExprNode& l = leftOf(*this);
            const ExprNode& r = rightOf(*this);
            out.push_back(&l);
            if (l.kind() == Kind::Product) l.collectAddends(out);
            out.push_back(&r);
            if (r.kind() == Kind::Product) r.collectAddends(out);
            if (kind() != Kind::Product) {
                out.push_back(&l);
                out.push_back(&r);
                l.collectAddends(out);
                r.collectAddends(out);
            }
            break;
        }
        case Kind::Power:
            out.push_back(this);
            break;
        default:
            break;
    }
}

// The terms of a sum, without their signs (callers run toSumForm first).
void ExprNode::collectTerms(NodeList& out) const {
    if (kind() == Kind::Sum || kind() == Kind::Difference) {
        leftOf(*this).collectTerms(out);
        rightOf(*this).collectTerms(out);
    } else {
        out.push_back(this);
    }
}

}  // namespace kv
