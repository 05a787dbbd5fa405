// Definitions, user-function calls and the user-function table commands.
#include "lang/CommandInterpreter.h"

#include <cmath>

#include "engine/EvaluationCost.h"
#include "engine/TextScan.h"
#include "engine/TreeRebuild.h"
#include "lang/Builtins.h"
#include "lang/Messages.h"

namespace kv {

CommandInterpreter::CommandInterpreter(SceneModel* scene) : scene_(scene) {
    ws_.fillConstants();
    ws_.autoVariables = true;
}

int CommandInterpreter::findUserFunction(std::string_view name) const {
    for (std::size_t i = functions_.size(); i-- > 0;)
        if (functions_[i].name == name) return static_cast<int>(i);
    return -1;
}

// name(params)=body, or name=body. The body is stored even when its parse
// failed (it is then the placeholder); a row of the same name is replaced in
// place.
NodePtr CommandInterpreter::define(std::string_view text, std::string_view left,
                                   std::string_view right) {
    std::size_t open = left.find('(');
    std::string_view name = left.substr(0, open);
    std::string_view paramText;
    if (open != std::string_view::npos && open + 1 < left.size())
        paramText = left.substr(open + 1, left.size() - open - 2);

    // The rows this one keeps: a body that would not fit beside them is
    // refused while it is built, not after.
    std::size_t kept = 0;
    for (const UserFunction& other : functions_)
        if (other.name != name && kept <= kMaxStoredNodes)
            kept += other.nodes ? other.nodes : countNodes(*other.body, kMaxStoredNodes + 1);
    const std::size_t oldLimit = lineNodeLimit_;
    const char* const oldMessage = lineNodeMessage_;
    if (kept <= kMaxStoredNodes && lineNodes_ + (kMaxStoredNodes - kept) < lineNodeLimit_) {
        lineNodeLimit_ = lineNodes_ + (kMaxStoredNodes - kept);
        lineNodeMessage_ = msg::kTooManyStoredNodes;
    }
    UserFunction fn;
    fn.name = std::string(name);
    fn.body = parseExpression(right);
    lineNodeLimit_ = oldLimit;
    lineNodeMessage_ = oldMessage;
    // Refused while it was built: the table stays as it was.
    if (hasError() && ws_.error.message == msg::kTooManyStoredNodes) return zero();
    for (std::string_view p : splitTopLevel(paramText, ","))
        fn.params.push_back(ws_.variableIndex(p));
    // A stored value is evaluated wherever it is used: one too costly to
    // evaluate is refused before it replaces anything.
    if (fn.params.empty() && !hasError() && evaluationCost(*fn.body) > kMaxEvaluationWork)
        return fail(ErrorCode::Syntax, text, kTooMuchWork);
    // The table as a whole is bounded too, counting the row this replaces
    // as gone.
    fn.nodes = countNodes(*fn.body, kMaxStoredNodes + 1);
    if (kept + fn.nodes > kMaxStoredNodes)
        return fail(ErrorCode::Syntax, text, msg::kTooManyStoredNodes);

    NodePtr result;
    if (!fn.params.empty())
        result = std::make_unique<TextNode>(msg::kFunctionAdded);
    else
        result = fn.body->clone();

    int row = findUserFunction(name);
    if (row >= 0)
        functions_[static_cast<std::size_t>(row)] = std::move(fn);
    else
        functions_.push_back(std::move(fn));
    return result;
}

// A call of a user function: the body with each parameter replaced in turn
// by its argument (so a later parameter is replaced inside earlier
// arguments too). A list-valued function is indexed instead: r(0) is the
// first element.
NodePtr CommandInterpreter::callUserFunction(int row, std::string_view text,
                                             const std::vector<std::string_view>& args) {
    const int n = static_cast<int>(args.size());
    const std::string name = functions_[static_cast<std::size_t>(row)].name;
    auto wrongCount = [&] {
        return fail(ErrorCode::Arguments, text, msg::format(msg::kWrongArgumentCount, name, n));
    };

    if (functions_[static_cast<std::size_t>(row)].body->kind() == Kind::List && n != 2) {
        const auto& list = as<ListNode>(*functions_[static_cast<std::size_t>(row)].body);
        if (n == 0) return list.clone();
        if (n >= 3) return wrongCount();
        NodePtr index = parseCommand(args[0]);
        if (hasError()) return zero();
        if (!index->isConstant()) return fail(ErrorCode::Arguments, text, msg::kIndexNotConstant);
        double value = std::trunc(index->evaluate());
        // Re-find the list: the argument may have redefined the table.
        row = findUserFunction(name);
        if (row < 0 || functions_[static_cast<std::size_t>(row)].body->kind() != Kind::List)
            return fail(ErrorCode::Arguments, text, msg::kInvalidIndex);
        const auto& items = as<ListNode>(*functions_[static_cast<std::size_t>(row)].body).elements;
        if (!(value >= 0 && value < static_cast<double>(items.size())))
            return fail(ErrorCode::Arguments, text, msg::kInvalidIndex);
        return items[static_cast<std::size_t>(value)]->clone();
    }

    if (n != static_cast<int>(functions_[static_cast<std::size_t>(row)].params.size()))
        return wrongCount();
    // Copy what the call needs: parsing an argument may define functions and
    // so move the table's rows.
    std::vector<int> params = functions_[static_cast<std::size_t>(row)].params;
    NodePtr result = functions_[static_cast<std::size_t>(row)].body->clone();
    // Many calls of one line, each within the bound, must not add up beyond
    // what memory holds: the copies of bodies and the arguments put into
    // them are counted for the whole line.
    lineNodes_ += countNodes(*result, kMaxLineNodes + 1);
    if (lineNodes_ > lineNodeLimit_) return tooManyLineNodes(text);
    for (int i = 0; i < n; ++i) {
        NodePtr arg = parseCommand(args[static_cast<std::size_t>(i)]);
        if (hasError()) return zero();
        // Refuse before building a tree too large to hold.
        std::size_t size = countNodes(*result, kMaxNodes);
        std::size_t argSize = countNodes(*arg, kMaxNodes);
        std::size_t uses = countOccurrences(*result, params[static_cast<std::size_t>(i)]);
        if (size + uses * argSize > kMaxNodes) return fail(ErrorCode::Syntax, text, msg::kTooLarge);
        lineNodes_ += uses * argSize;
        if (lineNodes_ > lineNodeLimit_) return tooManyLineNodes(text);
        result = result->substitute(params[static_cast<std::size_t>(i)], *arg);
    }
    return result;
}

NodePtr CommandInterpreter::tooManyLineNodes(std::string_view text) {
    return fail(ErrorCode::Syntax, text, lineNodeMessage_ ? lineNodeMessage_ : msg::kTooLarge);
}

NodePtr CommandInterpreter::removeUserFunction(std::string_view name) {
    for (std::size_t i = 0; i < functions_.size(); ++i) {
        if (functions_[i].name == name) {
            functions_.erase(functions_.begin() + static_cast<std::ptrdiff_t>(i));
            return std::make_unique<TextNode>(
                msg::format(msg::kUserFunctionRemoved, std::string(name)));
        }
    }
    return std::make_unique<TextNode>(msg::format(msg::kUserFunctionMissing, std::string(name)));
}

NodePtr CommandInterpreter::clearUserFunctions() {
    while (!functions_.empty()) functions_.pop_back();
    return std::make_unique<TextNode>(msg::kUserFunctionsCleared);
}

NodePtr callRemoveUserFunc(Call& call) {
    return call.ci.removeUserFunction(call.argText);
}
NodePtr callClearUserFuncs(Call& call) {
    return call.ci.clearUserFunctions();
}

}  // namespace kv
