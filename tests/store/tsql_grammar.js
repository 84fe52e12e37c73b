// Parses every line of the file given as T-SQL (the SQL Server dialect of
// node-sql-parser) and prints the ones that do not parse. Exit 0 when all do.
const fs = require('fs');
const { Parser } = require(process.argv[3]);
const parser = new Parser();
let failed = 0;
for (const statement of fs.readFileSync(process.argv[2], 'utf8').split('\n').filter((l) => l.length)) {
  try {
    parser.astify(statement, { database: 'transactsql' });
  } catch (e) {
    failed++;
    console.log('does not parse: ' + statement + '\n  ' + e.message.split('\n')[0].slice(0, 160));
  }
}
process.exit(failed ? 1 : 0);
