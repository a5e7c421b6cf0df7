// Queue, Stack and KeyList from JScript: order, Null from an empty container, copies of values,
// objects kept by identity, arrays read with VBArray, numbers as keys, and a raised error.

group("Queue is first in, first out", function () {
  var q = new ActiveXObject("Voziroz.Queue");
  check("Get of a new queue", q.Get(), null);
  q.Put(1);
  q.Put("two");
  q.Put(true);
  check("Length", q.Length, 3);
  check("first", q.Get(), 1);
  check("second", q.Get(), "two");
  check("third", q.Get(), true);
  check("drained", q.Get(), null);
  check("Length drained", q.Length, 0);
  q.Put("again");
  check("Put after draining", q.Get(), "again");
  q.Put(1);
  q.Put(2);
  q.Clear();
  check("Length after Clear", q.Length, 0);
  check("Get after Clear", q.Get(), null);
  q.Put("left");
  q.Init();
  check("Length after Init", q.Length, 0);
  q.Length;  // a property read whose result is discarded (Wine calls it as a method)
});

group("Stack is last in, first out", function () {
  var s = new ActiveXObject("Voziroz.Stack");
  check("Get of a new stack", s.Get(), null);
  s.Put(1);
  s.Put(2);
  s.Put(3);
  check("Height", s.Height, 3);
  check("top", s.Get(), 3);
  check("middle", s.Get(), 2);
  check("bottom", s.Get(), 1);
  check("empty", s.Get(), null);
  s.Put("x");
  s.Clear();
  check("Height after Clear", s.Height, 0);
  s.Put("after");
  check("Put after Clear", s.Get(), "after");
  s.Put("left");
  s.Init();
  check("Height after Init", s.Height, 0);
});

group("Containers keep values and objects", function () {
  var q = new ActiveXObject("Voziroz.Queue");
  var other = new ActiveXObject("Voziroz.Stack");
  var mine = {name: "script object"};
  var text = "kept";
  q.Put(text);
  text = "changed";
  q.Put(other);
  q.Put(mine);
  check("string copy", q.Get(), "kept");
  check("same Voziroz object", q.Get() === other, true);
  var back = q.Get();
  check("same script object", back === mine, true);
  check("its property", back.name, "script object");
  var k = new ActiveXObject("Voziroz.KeyList");
  k.Add("b", 1);
  k.Add("a", 2);
  other.Put(k.Keys());
  check("an array kept whole", elements(other.Get()).join(","), "a,b");
});

group("KeyList sorts its keys ordinally", function () {
  var k = new ActiveXObject("Voziroz.KeyList");
  k.Add("b", 1);
  k.Add("a", 2);
  k.Add("C", 3);
  k.Add("a", 99);  // a present key is left as it was
  check("Keys", elements(k.Keys()).join(","), "C,a,b");
  check("Items", elements(k.Items()).join(","), "3,2,1");
  check("Count", k.Count, 3);
  check("Item", k.Item("a"), 2);
  check("missing Item", k.Item("zz"), "");
  check("Exists", k.Exists("C"), true);
  check("Exists missing", k.Exists("c"), false);
  k.Add(5, "five");  // a number passed as a key arrives as its text
  check("number key", k.Item("5"), "five");
  k.Delete("a");
  check("after Delete", elements(k.Keys()).join(","), "5,C,b");
  k.Capacity = 10;
  check("Capacity", k.Capacity, 10);
  check("Count kept", k.Count, 3);
  k.Clear();
  check("cleared", k.Count, 0);
  check("empty Keys", new VBArray(k.Keys()).ubound(), -1);
  k.Add("x", 1);
  k.Init();
  check("Count after Init", k.Count, 0);
});

group("KeyList errors reach the script", function () {
  var k = new ActiveXObject("Voziroz.KeyList");
  checkError("Capacity -1", function () { k.Capacity = -1; }, -2147418113,
             "List capacity out of bounds (-1)");
  checkError("unknown member", function () { k.Nothing(); }, -2146827850,
             "Object doesn't support this property or method");
});

finish();
