// Found first on the include path of the rules, the search and whatever
// links only them: the rules know nothing of the game library.
#error "the rules (src/board, src/solver) and what links only them must not include the game library"
